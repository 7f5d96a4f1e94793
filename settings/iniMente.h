#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/TaggedValue.h"
#include "platform/FileSystem.h"
#include "settings/IncompleteLoad.h"
#include "settings/NameIndex.h"

namespace quorvel {

// A flat in-memory copy of an INI settings file: every line one entry, in file order,
// remarks (comments, blank lines, group headers, lines without "=") kept verbatim under
// the name "*REM*". Names match without regard to letter case and the first entry with
// a name wins; an index finds it, so a look-up costs the same in a large store.
class iniMente {
public:
    // An empty store that reads and writes files through `files`, which must outlive it.
    explicit iniMente(FileSystem& files);

    // Replaces every entry by the lines of the file; false when the file is missing or
    // hidden (the entries stay) or could not be read completely (the entries read so far
    // stay, and incompleteLoad() tells which line stopped the load). Raises a RuntimeError
    // only when the name cannot be searched at all. A file that is there but that the load
    // did not find (a hidden or system file: it opens, but no directory search lists it) is
    // never written over by this store until a later load reads one.
    bool iniLoader(const std::string& Filename);
    // The file of the last load that found its file but could not read it whole. It is
    // cleared by the next load that reads a file whole.
    [[nodiscard]] const std::optional<IncompleteLoad>& incompleteLoad() const;
    void SetiniFilename(const std::string& FilenameofINI);
    [[nodiscard]] const std::string& GetiniFilename() const;

    // The value of the first entry named `ItemName`; a missing item is appended with `Default`.
    TaggedValue GetiniValue(std::string_view ItemName, const TaggedValue& Default = TaggedValue());
    // Replaces the value of the first entry named `ItemName`, or appends the item. The name
    // "*REM*" (exactly so) always appends a remark line.
    bool SetiniValue(std::string_view ItemName, const TaggedValue& ItemValue);
    // Marks the first entry named `ItemName` deleted ("*DEL*"), appending one when missing.
    bool DeliniValue(std::string_view ItemName);
    // Marks GroupName0, GroupName1, ... deleted up to the first one that is empty or missing.
    bool DeliniGroup(std::string_view GroupName);
    // The number n of the first GroupName<n> whose value matches `SearchItem`, or -1.
    std::int16_t SearchinGroup(std::string_view GroupName, const TaggedValue& SearchItem, bool NoCheckCase = false);
    // The next entry (name, value) whose name begins with the prefix; a call with a prefix
    // starts over, a call without one resumes. Two empty texts when nothing more matches.
    std::array<TaggedValue, 2> GetiniGroup2(std::string_view GroupName = {});
    // Sets the item only when it is missing or empty. Always returns the empty value.
    TaggedValue MakeiniItem(std::string_view ItemName, const TaggedValue& ItemValue = TaggedValue(std::string()));

    // Writes "[General]" and the entries, every line ended as the loaded file ended its
    // first line (LF alone, or else CR LF; CR LF when no file was loaded). False on any
    // failure, and for the file named by incompleteLoad() or by the last load that did not
    // find its file: both are left as they are. An empty store writes nothing and returns true.
    bool iniSaver(const std::string& Filename);
    bool iniSaverSameFilename();
    // The entries as INI text, without a header of its own, with the same line ends.
    [[nodiscard]] std::string iniSavertoVariable() const;

    // Read-only view of the entries: -1 for an empty store.
    [[nodiscard]] std::int32_t lastIndex() const;
    // Raise IndexOutOfRange outside 0 to lastIndex().
    [[nodiscard]] const std::string& itemName(std::size_t index) const;
    [[nodiscard]] const TaggedValue& itemValue(std::size_t index) const;

private:
    // ItemNames and ItemValues are kept as one array of pairs, so they can never differ in length.
    struct Entry {
        std::string name;
        TaggedValue value;
    };
    static constexpr std::size_t kNotFound = NameIndex::kNotFound;

    bool iniReader(const std::string& Filename);
    bool readEntries(const FileContents& contents, IncompleteLoad& stopped);
    void clearEntries();
    // Grows the store by one entry, or leaves it as it was when that fails.
    void appendEntry(std::string name, TaggedValue value);
    [[nodiscard]] std::size_t findFirst(std::string_view name);
    [[nodiscard]] std::size_t findLowered(std::string_view lowered, std::uint64_t hash) const;
    void refreshIndex();
    void appendLine(std::string& out, const Entry& entry) const;
    [[nodiscard]] std::size_t textSizeEstimate() const;

    FileSystem* files_;
    std::vector<Entry> entries_;
    std::string iniFilename_;
    std::string groupCursorName_;
    std::int16_t groupCursorIndex_ = 0;
    std::string_view lineEnd_;
    std::optional<IncompleteLoad> incompleteLoad_;
    // The name of the last load that found no listed file, until a load finds one.
    std::optional<std::string> notFound_;

    // Lower-cased name -> index of the first entry with that name. Entries are never removed
    // or renamed, so an entry stays first once it is. Lower-casing depends on the locale's
    // character type, so the index is rebuilt when that changes.
    NameIndex index_;
    std::string indexLocale_;
    bool indexValid_ = false;
};

}  // namespace quorvel
