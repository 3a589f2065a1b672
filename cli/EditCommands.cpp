// Selection, loop and clipboard commands, and Undo/Redo.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "edit/ClipboardOps.h"
#include "edit/Selection.h"

namespace pelmora::cli {

namespace {

constexpr long long kMaxFrame = 0xFFFFFFFFLL;

std::uint32_t Frame(const std::string& text, const char* what) {
    return static_cast<std::uint32_t>(ParseInteger(text, what, 0, kMaxFrame));
}

void Select(CliSession& session, const Args& args) {
    if (!SelectFrames(session.Current(), Frame(args[0], "START"), Frame(args[1], "END")))
        throw CommandFailure("the range must satisfy START <= END <= frames");
}

void SelectAllFrames(CliSession& session, const Args&) { SelectAll(session.Current()); }

void Channels(CliSession& session, const Args& args) {
    const auto choice = static_cast<ChannelChoice>(ParseChoice(args[0], "channels", {"both", "left", "right"}));
    if (!SelectChannels(session.Current(), choice)) throw CommandFailure("a mono sound has no right channel");
}

void Loop(CliSession& session, const Args& args) {
    const bool on = ParseChoice(args[2], "the loop flag", {"off", "on"}) == 1;
    if (!SetLoop(session.Current(), Frame(args[0], "START"), Frame(args[1], "END"), on))
        throw CommandFailure("the loop must satisfy START <= END <= frames");
}

void SelectTheLoop(CliSession& session, const Args&) { SelectLoop(session.Current()); }
void LoopToSelection(CliSession& session, const Args&) { SelectionToLoop(session.Current()); }

void CutCommand(CliSession& session, const Args&) { Cut(session.Current(), session.App().GetClip()); }
void CopyCommand(CliSession& session, const Args&) { Copy(session.Current(), session.App().GetClip()); }
void PasteCommand(CliSession& session, const Args&) { Paste(session.Current(), session.App().GetClip()); }
void InsertCommand(CliSession& session, const Args&) { Insert(session.Current(), session.App().GetClip()); }
void ClearCommand(CliSession& session, const Args&) { Clear(session.Current()); }
void TrimCommand(CliSession& session, const Args&) { Trim(session.Current()); }

void SelectionToNewCommand(CliSession& session, const Args&) {
    const std::string made = SelectionToNew(session.Current());
    session.App().OpenMadeFile(made);
}

void UndoCommand(CliSession& session, const Args&) {
    COLMDoc& doc = session.Current();
    if (!doc.Undo().Enabled()) throw CommandFailure("nothing to undo");
    doc.Undo().UndoOrRedo(doc);
}

}  // namespace

void AppendEditCommands(std::vector<CommandSpec>& table) {
    table.push_back({"select", 2, Select, "START END",
                     "select frames START to END (END exclusive)"});
    table.push_back({"select-all", 0, SelectAllFrames, "",
                     "Select All"});
    table.push_back({"channels", 1, Channels, "both|left|right",
                     "the selected channels"});
    table.push_back({"loop", 3, Loop, "START END on|off",
                     "set loop start, loop end and the loop flag"});
    table.push_back({"select-loop", 0, SelectTheLoop, "",
                     "Select Loop"});
    table.push_back({"loop-to-selection", 0, LoopToSelection, "",
                     "Selection to Loop"});
    table.push_back({"cut", 0, CutCommand, "",
                     "Cut the selection to the clip"});
    table.push_back({"copy", 0, CopyCommand, "",
                     "Copy the selection to the clip"});
    table.push_back({"paste", 0, PasteCommand, "",
                     "Paste the clip over the selection"});
    table.push_back({"insert", 0, InsertCommand, "",
                     "Insert the clip at the selection start"});
    table.push_back({"clear", 0, ClearCommand, "",
                     "Clear: remove the selection"});
    table.push_back({"trim", 0, TrimCommand, "",
                     "Trim: keep only the selection"});
    table.push_back({"selection-to-new", 0, SelectionToNewCommand, "",
                     "Selection to New: the selection as a new document"});
    table.push_back({"undo", 0, UndoCommand, "",
                     "Undo, and the next undo redoes"});
}

}  // namespace pelmora::cli
