#include "counters/clsPdh.h"

namespace quorvel {

clsPdh::clsPdh(ValueSource& source) : source_(source) {
    OpenQuery();
}

clsPdh::~clsPdh() {
    CloseQuery();
}

void clsPdh::AddCounter(std::string_view Counter) {
    addStatus_ = source_.addCounter(hQuery_, Counter, hCounter_);
}

void clsPdh::Collect() {
    (void)source_.collect(hQuery_);
}

double clsPdh::GetValue() {
    return source_.readDouble(hCounter_, counterStatus_);
}

CounterStatus clsPdh::Status() const {
    return addStatus_ != counter_status::Valid ? addStatus_ : counterStatus_;
}

void clsPdh::OpenQuery() {
    (void)source_.openQuery(hQuery_);
}

void clsPdh::CloseQuery() {
    (void)source_.closeQuery(hQuery_);
}

}  // namespace quorvel
