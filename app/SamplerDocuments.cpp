#include "app/SamplerDocuments.h"

#include "base/Error.h"
#include "sampler/SampleExport.h"
#include "sampler/SampleImport.h"
#include "sampler/SmdiMessage.h"

namespace pelmora {

namespace {

// The current instrument's link, after Master Identify; null when the command ends here.
const ScsiDeviceEntry* IdentifiedInstrument(ApplicationState& app) {
    const ScsiDeviceEntry* instrument = app.Instruments().CurrentInstrument();
    if (!instrument) {
        app.Prompts().Message(Text(StringId::DeviceNotFound));
        return nullptr;
    }
    smdi::SmdiLink link(*instrument->device, instrument->family, app.Prompts());
    if (!link.MasterIdentify()) {
        app.Prompts().Message(smdi::InstrumentNotFoundText(instrument->family));
        return nullptr;
    }
    return instrument;
}

// A sound plays or records: the sampler would take the working files and the interface thread.
bool SoundRuns(const ApplicationState& app) { return app.audio.Active() != nullptr; }

}  // namespace

bool ImportFromSamplerEnabled(const ApplicationState& app) {
    return !app.Instruments().Empty() && !app.AtDocumentLimit() && !SoundRuns(app);
}

bool ExportToSamplerEnabled(const ApplicationState& app) {
    return !app.Instruments().Empty() && !app.Documents().empty() && !SoundRuns(app);
}

COLMDoc* ImportFromSampler(ApplicationState& app, const SamplerDialogRunner& run) {
    if (SoundRuns(app)) return nullptr;
    if (app.AtDocumentLimit()) throw Error(StringId::NoMoreFiles);
    const ScsiDeviceEntry* instrument = IdentifiedInstrument(app);
    if (!instrument) return nullptr;
    smdi::SmdiLink link(*instrument->device, instrument->family, app.Prompts());
    smdi::SamplerDialogModel model(smdi::SamplerDialogModel::Mode::Import, link, app.Prompts(), app.WorkDir());
    if (!model.List()) return nullptr;
    if (!run(model) || !model.ImportResult()) return nullptr;
    const smdi::SampleHeaderRecord entry = *model.ImportResult();
    // The sample may have changed on the instrument while the dialog was open.
    AlignedBuffer answer(smdi::kSampleHeaderReceiveBytes, instrument->device->BufferAlignment());
    const bool answered = link.RequestSampleHeader(entry.sampleNumber, answer);
    // A slot emptied meanwhile answers with a silent reject: that is the same news as a rename.
    if (!answered && smdi::IsKnownReply(answer.Data(), answer.Size())) return nullptr;
    if (!answered || smdi::ParseSampleHeader(answer.Data(), answer.Size(), instrument->family).name != entry.name) {
        app.Prompts().Message(Text(StringId::DesignatedFileNotFound));
        return nullptr;
    }
    if (!smdi::ImportTransfer(link, entry, app.Progress())) return nullptr;
    // The file belongs to the document from here on; a failed open removes it.
    model.TakeTarget();
    return &app.OpenMadeFile(entry.targetPath);
}

bool ExportToSampler(ApplicationState& app, const SamplerDialogRunner& run) {
    if (SoundRuns(app) || app.Documents().empty()) return false;
    const ScsiDeviceEntry* instrument = IdentifiedInstrument(app);
    if (!instrument) return false;
    smdi::SmdiLink link(*instrument->device, instrument->family, app.Prompts());
    smdi::SamplerDialogModel model(smdi::SamplerDialogModel::Mode::Export, link, app.Prompts(), app.WorkDir());
    for (const auto& doc : app.Documents()) model.AddDocument(*doc);
    if (!run(model) || !model.ExportResult()) return false;
    const smdi::ExportTarget target = *model.ExportResult();
    const COLMDoc& doc = *target.document;
    return smdi::ExportTransfer(link, doc.Info(), doc.WorkingPath(), doc.Title(), target.slot, app.Progress());
}

}  // namespace pelmora
