#pragma once

#include <string_view>

#include "platform/ValueSource.h"

namespace quorvel {

// One query of the performance-data service holding one counter. The class keeps no
// history, does no arithmetic and drops every status the service reports: the caller
// gets whatever value the service hands back. An unreachable service throws from the
// call that tried it, construction included.
class clsPdh {
public:
    // Opens the query. The source must outlive the object.
    explicit clsPdh(ValueSource& source);
    // Closes the query, even when the open failed.
    ~clsPdh();

    clsPdh(const clsPdh&) = delete;
    clsPdh& operator=(const clsPdh&) = delete;
    clsPdh(clsPdh&&) = delete;
    clsPdh& operator=(clsPdh&&) = delete;

    // Adds the counter, path passed through unchanged, and makes it the one GetValue
    // reads. Counters added before stay in the query and go on being sampled.
    void AddCounter(std::string_view Counter);
    // Takes one sample of every counter in the query.
    void Collect();
    // The current value of the last counter added, as the service gives it.
    [[nodiscard]] double GetValue();
    // The status of the last AddCounter when the service refused the counter, else the
    // status of the last GetValue (Valid before the first). Only read, never acted on.
    [[nodiscard]] CounterStatus Status() const;

private:
    void OpenQuery();
    void CloseQuery();

    ValueSource& source_;
    QueryHandle hQuery_ = 0;
    CounterHandle hCounter_ = 0;
    CounterStatus counterStatus_ = 0;
    CounterStatus addStatus_ = 0;
};

}  // namespace quorvel
