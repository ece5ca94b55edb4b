// Every command of the window once: its button, its keys and the rule that
// enables it. A new command is a row here and a handler (a controller
// method, or a part's for what only the interface does).

#include "controller/commands.h"

#include <array>

namespace sorvane {

namespace {

using enum CommandId;
using enum KeyPress;
using enum CommandPart;
constexpr KeyTargets kNotInRowEditors = kAnywhere & ~kRowEditors;
// Where a typed Ctrl+Z is the box's own.
constexpr KeyTargets kNotInTextBoxes =
    kAnywhere &
    ~(targets(KeyTarget::modEditor) | targets(KeyTarget::findBox) | targets(KeyTarget::pathBox));

constexpr KeyBinding ctrlKey(char letter, KeyWindow window = KeyWindow::main) {
  return {.key = letterKey(letter), .press = ctrl, .window = window, .elsewhere = Elsewhere::taken};
}

// Enter in one kind of box of the main window, while it is the active one.
constexpr KeyBinding enterIn(KeyTarget where) {
  return {.key = Key::enter, .where = targets(where), .activeWindowOnly = true};
}

constexpr bool always(const WindowState& /*state*/) { return true; }
constexpr bool hasSelection(const WindowState& state) {
  return state.open && state.selectedRow >= 0;
}

constexpr CommandInfo kCommands[] = {
    {.id = showSearchWindow,
     .controlName = "SearchFolderButton",
     .caption = u"Search in &folder",
     .description = u"Find the QM files of a folder whose translations hold a text",
     .part = toolButtons,
     .keys = {KeyBinding{.key = letterKey('F'), .press = ctrlAlt, .window = KeyWindow::any}},
     .enabled = always},
    {.id = toggleSubdirectories, .keys = {ctrlKey('R', KeyWindow::search)}, .enabled = always},
    {.id = openSearchResult,
     .keys = {KeyBinding{.key = Key::enter,
                         .window = KeyWindow::search,
                         .where = targets(KeyTarget::searchResults)}},
     .enabled = always},
    {.id = startSearch,
     .keys = {KeyBinding{
         .key = Key::enter, .window = KeyWindow::search, .where = targets(KeyTarget::searchBox)}},
     .enabled = always},
    {.id = chooseTraditional,
     .controlName = "TraditionalRadio",
     .caption = u"Traditional",
     .description = u"An Original and its Mod, paired entry by entry",
     .part = modeButtons,
     .kind = ButtonKind::radio,
     .enabled = [](const WindowState& s) { return s.controls.chooseMode; },
     .checked = [](const WindowState& s) { return s.mode == SessionMode::traditional; }},
    {.id = chooseModUpdate,
     .controlName = "ModUpdateRadio",
     .caption = u"Mod update",
     .description = u"Carry a Mod made for an old original over to a new one",
     .part = modeButtons,
     .kind = ButtonKind::radio,
     .enabled = [](const WindowState& s) { return s.controls.chooseMode; },
     .checked = [](const WindowState& s) { return s.mode == SessionMode::modUpdate; }},
    {.id = openFiles,
     .controlName = "OpenButton",
     .caption = u"Open",
     .description = u"Open the files named above",
     .part = fileButtons,
     .keys = {ctrlKey('O'), enterIn(KeyTarget::pathBox)},
     .enabled = [](const WindowState& s) { return s.controls.chooseMode; }},
    {.id = saveMod,
     .controlName = "SaveButton",
     .caption = u"&Save",
     .description = u"Save the Mod file",
     .part = fileButtons,
     .keys = {ctrlKey('S', KeyWindow::any)},
     .enabled = [](const WindowState& s) { return s.controls.save; }},
    {.id = exportTexts,
     .controlName = "ExportButton",
     .caption = u"&Export",
     .description = u"Export the Mod texts to a text, PO, XLIFF or TS file, and import them back",
     .part = fileButtons,
     .keys = {ctrlKey('E', KeyWindow::any)},
     .enabled = [](const WindowState& s) { return s.controls.exportTexts; }},
    {.id = importTexts,
     .controlName = "ImportButton",
     .caption = u"&Import",
     .description = u"Import Mod texts from a text, PO, XLIFF or TS file",
     .part = fileButtons,
     .keys = {ctrlKey('I')},
     .enabled = [](const WindowState& s) { return s.controls.exportTexts; }},
    {.id = closeFiles,
     .controlName = "CloseButton",
     .caption = u"Close",
     .description = u"Close the files",
     .part = fileButtons,
     .keys = {ctrlKey('W')},
     .enabled = [](const WindowState& s) { return s.controls.close; }},
    {.id = undo,
     .controlName = "UndoButton",
     .caption = u"Undo",
     .description = u"Undo the last change",
     .part = editButtons,
     .keys = {KeyBinding{.key = letterKey('Z'),
                         .press = ctrl,
                         .where = kNotInTextBoxes,
                         .elsewhere = Elsewhere::taken,
                         .activeWindowOnly = true}},
     .enabled = [](const WindowState& s) { return s.controls.undo; }},
    {.id = redo,
     .controlName = "RedoButton",
     .caption = u"Redo",
     .description = u"Redo the change undone last",
     .part = editButtons,
     .keys = {ctrlKey('Y')},
     .enabled = [](const WindowState& s) { return s.controls.redo; }},
    {.id = toggleChangeSame,
     .controlName = "ChangeSameCheck",
     .caption = u"C&hange same",
     .description = u"Store an edit in every row with the same original text too",
     .part = editButtons,
     .kind = ButtonKind::check,
     .keys = {ctrlKey('H')},
     .enabled = [](const WindowState& s) { return s.controls.changeSame; },
     .checked = [](const WindowState& s) { return s.changeSame; }},
    {.id = makeDebugQm,
     .controlName = "DebugQmButton",
     .caption = u"Make \"debug\" QM",
     .description = u"Write a copy of the Mod in which every string is an ID and its row number",
     .part = toolButtons,
     .enabled = [](const WindowState& s) { return s.controls.debugQm; }},
    {.id = findNext,
     .controlName = "FindNextButton",
     .caption = u"->",
     .description = u"Find the next row that holds the text",
     .part = findRow,
     .keys = {KeyBinding{.key = Key::f3,
                         .press = plainNoLocks,
                         .window = KeyWindow::any,
                         .where = kAnywhere & ~targets(KeyTarget::modEditor)},
              enterIn(KeyTarget::findBox)},
     .enabled = [](const WindowState& s) { return s.findTextGiven; }},
    {.id = nextColouredRow,
     .keys = {KeyBinding{.key = letterKey('J'),
                         .press = ctrlNoAlt,
                         .where = kNotInRowEditors,
                         .elsewhere = Elsewhere::taken}},
     .enabled = [](const WindowState& s) { return s.open && s.mode == SessionMode::modUpdate; }},
    {.id = previousColouredRow,
     .keys = {KeyBinding{.key = letterKey('J'),
                         .press = ctrlShift,
                         .where = kNotInRowEditors,
                         .elsewhere = Elsewhere::taken}},
     .enabled = [](const WindowState& s) { return s.open && s.mode == SessionMode::modUpdate; }},
    {.id = nextProblemRow,
     .keys = {KeyBinding{.key = Key::f8,
                         .press = plainNoLocks,
                         .where = kNotInRowEditors,
                         .elsewhere = Elsewhere::taken}},
     .enabled = [](const WindowState& s) { return s.open; }},
    {.id = previousProblemRow,
     .keys = {KeyBinding{
         .key = Key::f8, .press = shift, .where = kNotInRowEditors, .elsewhere = Elsewhere::taken}},
     .enabled = [](const WindowState& s) { return s.open; }},
    {.id = focusFindBox, .keys = {ctrlKey('F')}, .enabled = always},
    {.id = focusList,
     .keys = {KeyBinding{.key = letterKey('M'),
                         .press = ctrl,
                         .where = kNotInRowEditors,
                         .elsewhere = Elsewhere::taken}},
     .enabled = always},
    {.id = toggleControlsPanel, .keys = {ctrlKey('T')}, .enabled = always},
    {.id = openEditors,
     .keys = {enterIn(KeyTarget::list), KeyBinding{.key = Key::f2,
                                                   .press = plainNoLocks,
                                                   .where = targets(KeyTarget::list),
                                                   .passesOn = true}},
     .enabled = [](const WindowState& s) { return s.open; }},
    {.id = storeEdit,
     .keys = {KeyBinding{.key = Key::enter, .where = kRowEditors, .activeWindowOnly = true}},
     .enabled = [](const WindowState& s) { return s.editing; }},
    {.id = dropEdit,
     .keys = {KeyBinding{.key = Key::escape, .where = kRowEditors, .elsewhere = Elsewhere::taken}},
     .enabled = [](const WindowState& s) { return s.editing; }},
    {.id = deleteRowText,
     .keys = {KeyBinding{.key = Key::del,
                         .press = plainNoLocks,
                         .where = targets(KeyTarget::list),
                         .passesOn = true}},
     .enabled = [](const WindowState& s) { return s.open && s.mode == SessionMode::modUpdate; }},
    {.id = toModEditor,
     .keys = {KeyBinding{
         .key = Key::tab, .press = plainNoLocks, .where = targets(KeyTarget::newOriginalEditor)}},
     .enabled = [](const WindowState& s) { return s.editing; }},
    {.id = toOriginalEditor,
     .keys = {KeyBinding{
         .key = Key::backtab, .press = shift, .where = targets(KeyTarget::modEditor)}},
     .enabled = [](const WindowState& s) { return s.editing; }},
    {.id = copyOriginal,
     .keys = {ctrlKey('B')},
     .enabled = [](const WindowState& s) { return s.open; }},
    {.id = removeDropped,
     .controlName = "RemoveDroppedButton",
     .caption = u"Remove dropped",
     .description = u"Empty the Mod text of every dropped (red) row, so that its entry leaves the "
                    u"Mod file",
     .part = legend,
     .keys = {KeyBinding{.key = Key::del,
                         .press = ctrlShift,
                         .where = kNotInRowEditors,
                         .elsewhere = Elsewhere::taken}},
     .enabled = [](const WindowState& s) { return s.droppedRows > 0; }},
    {.id = toggleFilterBar,
     .controlName = "FilterCheck",
     .caption = u"Fil&ter",
     .description = u"Show only the rows that need work, or that hold a text",
     .part = toolButtons,
     .kind = ButtonKind::check,
     .keys = {KeyBinding{.key = letterKey('F'),
                         .press = ctrlShift,
                         .window = KeyWindow::main,
                         .elsewhere = Elsewhere::taken}},
     .enabled = always,
     .checked = [](const WindowState& s) { return s.filterBarShown; }},
    {.id = replaceTexts,
     .controlName = "ReplaceButton",
     .caption = u"&Replace...",
     .description = u"Search and replace in the Mod texts of the rows shown",
     .part = filterBar,
     .keys = {ctrlKey('R')},
     .enabled = [](const WindowState& s) { return s.open && s.shownRows > 0; }},
    {.id = storeAndGoOn,
     .keys = {ctrlKey('G')},
     .enabled = [](const WindowState& s) { return s.open && s.shownRows > 0; }},
    {.id = nextUntranslatedRow,
     .keys = {KeyBinding{.key = letterKey('U'),
                         .press = ctrlNoAlt,
                         .where = kNotInRowEditors,
                         .elsewhere = Elsewhere::taken}},
     .enabled = [](const WindowState& s) { return s.open; }},
    {.id = previousUntranslatedRow,
     .keys = {KeyBinding{.key = letterKey('U'),
                         .press = ctrlShift,
                         .where = kNotInRowEditors,
                         .elsewhere = Elsewhere::taken}},
     .enabled = [](const WindowState& s) { return s.open; }},
    {.id = pretranslate,
     .controlName = "PretranslateButton",
     .caption = u"&Pretranslate",
     .description = u"Fill every untranslated row shown with the memory's translation of "
                    u"exactly its original text",
     .part = memoryPanel,
     .keys = {KeyBinding{.key = letterKey('P'),
                         .press = ctrlShift,
                         .window = KeyWindow::main,
                         .elsewhere = Elsewhere::taken}},
     .enabled = [](const WindowState& s) { return s.open && s.shownRows > 0; }},
    {.id = addToMemory,
     .controlName = "AddToMemoryButton",
     .caption = u"Add fi&le...",
     .description = u"Let the translation memory learn the translations of a QM, PO, XLIFF, TS "
                    u"or TMX file",
     .part = memoryPanel,
     .keys = {KeyBinding{.key = letterKey('M'),
                         .press = ctrlShift,
                         .window = KeyWindow::main,
                         .elsewhere = Elsewhere::taken}},
     .enabled = always},
    {.id = addFolderToMemory,
     .controlName = "AddFolderToMemoryButton",
     .caption = u"Add f&older...",
     .description = u"Let the translation memory learn the translations of every QM, PO, XLIFF, "
                    u"TS and TMX file of a folder and its subfolders, such as Qt's own",
     .part = memoryPanel,
     .enabled = always},
    {.id = useSuggestion1, .keys = {ctrlKey('1')}, .enabled = hasSelection},
    {.id = useSuggestion2, .keys = {ctrlKey('2')}, .enabled = hasSelection},
    {.id = useSuggestion3, .keys = {ctrlKey('3')}, .enabled = hasSelection},
    {.id = useSuggestion4, .keys = {ctrlKey('4')}, .enabled = hasSelection},
    {.id = useSuggestion5, .keys = {ctrlKey('5')}, .enabled = hasSelection},
    // The last one: a command with no key, which does nothing.
    {.id = ignoreKey, .enabled = always},
};
static_assert(std::size(kCommands) == kCommandCount);

constexpr bool commandsInIdOrder() {
  for (std::size_t i = 0; i < std::size(kCommands); ++i) {
    if (static_cast<std::size_t>(kCommands[i].id) != i) return false;
  }
  return true;
}
static_assert(commandsInIdOrder(), "commandInfo looks a command up by its id");

}  // namespace

std::span<const CommandInfo> commandTable() { return kCommands; }

const CommandInfo& commandInfo(CommandId id) { return kCommands[static_cast<std::size_t>(id)]; }

}  // namespace sorvane
