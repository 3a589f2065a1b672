#pragma once
// The rules of the sampler dialog in its two modes: the import listing (all slots of a sampler
// at once, a synthesizer's lazily as they come into view), the export list of open documents,
// the two-line information, and what OK accepts.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/COLMDoc.h"
#include "sampler/SmdiLink.h"

namespace pelmora::smdi {

inline constexpr std::uint32_t kSynthesizerSlots = 1024;
inline constexpr std::uint32_t kLastSamplerSlot = 1024;
inline constexpr std::uint32_t kFetchCount = 10;

struct ExportTarget {
    COLMDoc* document = nullptr;
    std::string title;
    std::uint32_t slot = 0;  // 0-based
};

// "%s is not found." with the family's word.
std::string InstrumentNotFoundText(DeviceFamily family);
// The import's file-name prefix: the name with \ / : , ; * ? " < > | as "-", then "_".
std::string ImportFilePrefix(const std::string& name);

class SamplerDialogModel {
public:
    enum class Mode { Import, Export };
    enum class Verdict { Close, CloseWithoutResult, StayOpen };

    SamplerDialogModel(Mode mode, SmdiLink& link, Prompter& prompter, std::string workDir);
    ~SamplerDialogModel();

    Mode GetMode() const { return mode_; }
    DeviceFamily Family() const { return link_.Family(); }
    StringId OkCaption() const;
    StringId Title() const;
    StringId InfoLabel() const;
    // The slot-number controls: only for an export to a synthesizer.
    bool ShowsSampleNumber() const;

    // Import, before the dialog shows: false when there is nothing to show (a message, if any,
    // was shown).
    bool List();
    // Export: one line per open document.
    void AddDocument(COLMDoc& document);
    // The lines in list order (sorted by text, as the list box keeps them).
    std::size_t LineCount() const { return lines_.size(); }
    const std::string& Line(std::size_t index) const { return lines_[index].text; }
    // The line of a slot (import) or of a document (export).
    std::optional<std::size_t> LineOfSlot(std::uint32_t slot) const;
    std::optional<std::size_t> LineOfDocument(const COLMDoc& document) const;
    // A synthesizer import's headers for the slots from line `firstLine` (1-based) on, at most
    // `count`, skipping those already read. True when some line changed.
    bool FetchVisible(std::size_t firstLine, std::size_t count);
    // The information text for a line; empty for no line.
    std::string Information(std::optional<std::size_t> line) const;

    // OK with the selected line and the sample-number edit's text. A message may be shown;
    // `correctedNumber` gets the text the edit is to hold when the number was refused.
    Verdict Ok(std::optional<std::size_t> line, const std::string& sampleNumberText, std::string& correctedNumber);

    // The result after Verdict::Close, for the mode.
    const SampleHeaderRecord* ImportResult() const { return importResult_; }
    const ExportTarget* ExportResult() const { return exportResult_ ? &*exportResult_ : nullptr; }
    // The import's target file is the caller's from here on (not deleted with the model).
    std::string TakeTarget();

private:
    struct ListLine {
        std::string text;
        std::size_t entry;
    };
    void SortLines();
    std::string ImportLineText(const SampleHeaderRecord& entry) const;
    Verdict OkImport(std::size_t entry);

    Mode mode_;
    SmdiLink& link_;
    Prompter& prompter_;
    std::string workDir_;
    std::vector<SampleHeaderRecord> entries_;
    std::vector<ExportTarget> targets_;
    std::vector<ListLine> lines_;
    bool lazyListed_ = true;
    const SampleHeaderRecord* importResult_ = nullptr;
    std::optional<ExportTarget> exportResult_;
    std::string target_;
};

}  // namespace pelmora::smdi
