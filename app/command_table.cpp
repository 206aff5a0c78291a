#include "app/command_table.h"

#include <vector>

#include "engine/tesselor_doc.h"

namespace tesselor {

namespace {

// Prompts hold "status text\ntooltip", as the string table always has.
struct Entry {
  int id;
  const char* prompt;
  QList<QKeySequence> shortcuts;
};

// Keypad keys need the keypad modifier to tell them from the main keyboard's.
const QKeySequence kAltKeypadPlus(QKeyCombination(Qt::AltModifier | Qt::KeypadModifier,
                                                  Qt::Key_Plus));
const QKeySequence kAltKeypadMinus(QKeyCombination(Qt::AltModifier | Qt::KeypadModifier,
                                                   Qt::Key_Minus));

const std::vector<Entry>& Entries() {
  static const std::vector<Entry> entries = {
      {kIdCreatePhotomosaic,
       "Create a photomosaic\nCreate a photomosaic",
       {QKeySequence(Qt::ALT | Qt::Key_C)}},
      {kIdLibraryManager,
       "Add and remove tiles from the current tile library\nTile library manager",
       {}},
      {kIdSelectLibrary, "Select the current tile library", {}},
      {kIdFlip,
       "Flip between original and photomosaic\nFlip between original and photomosaic",
       {QKeySequence(Qt::Key_Space)}},
      {kIdZoomIn, "Increase the magnification of the image\nZoom in", {kAltKeypadPlus}},
      {kIdZoomOut, "Decrease the magnification of the current image\nZoom out", {kAltKeypadMinus}},
      {kIdToggle, "Toggle view between original image and its photomosaic", {}},
      {kIdMenuZoomIn, "Increase the magnification of the image", {}},
      {kIdMenuZoomOut, "Decrease the magnification of the image", {}},
      {kIdCreateMosaic, "Create a photomosaic of the current image", {}},
      // The menu names ALT 1, but the key 1 alone is what the table binds,
      // and to the toolbar's command.
      {kIdMenuZoomOneToOne, "View the image with a 1:1 magnification", {}},
      {kIdZoomOneToOne,
       "View the image with a 1:1 magnification\nView at 1:1 magnification",
       {QKeySequence(Qt::Key_1)}},
      {kIdNewLibrary, "", {}},
      {kIdWizard,
       "Launch the Photomosaic Wizard\nPhotomosaic Wizard",
       {QKeySequence(Qt::ALT | Qt::Key_W)}},
      {kIdFileNew, "Create a new document\nNew", {QKeySequence(Qt::CTRL | Qt::Key_N)}},
      {kIdFileOpen, "Open an existing document\nOpen", {QKeySequence(Qt::CTRL | Qt::Key_O)}},
      {kIdFileSave, "Save the active document\nSave", {QKeySequence(Qt::CTRL | Qt::Key_S)}},
      {kIdFileSaveAs, "Save the active document with a new name\nSave As", {}},
      {kIdFilePrintSetup, "Change the printer and printing options\nPrint Setup", {}},
      {kIdFilePrint, "Print the active document\nPrint", {QKeySequence(Qt::CTRL | Qt::Key_P)}},
      {kIdFilePrintDirect, "Print the active document\nPrint", {}},
      {kIdFilePrintPreview, "Display full pages\nPrint Preview", {}},
      {kIdFileRecentFirst, "Open this document", {}},
      {kIdFileRecentFirst + 1, "Open this document", {}},
      {kIdFileRecentFirst + 2, "Open this document", {}},
      {kIdFileRecentFirst + 3, "Open this document", {}},
      {kIdAppAbout, "Display program information, version number and copyright\nAbout", {}},
      {kIdAppExit, "Quit the application; prompts to save documents\nExit", {}},
      {kIdHelpTopics, "List Help topics\nHelp Topics", {QKeySequence(Qt::Key_F1)}},
      {kIdContextHelp,
       "Display help for clicked on buttons, menus and windows\nHelp",
       {QKeySequence(Qt::SHIFT | Qt::Key_F1)}},
      {kIdHelp, "Display help for current task or command\nHelp", {}},
      {kIdViewToolbar, "Show or hide the toolbar\nToggle ToolBar", {}},
      {kIdViewStatusBar, "Show or hide the status bar\nToggle StatusBar", {}},
  };
  return entries;
}

}  // namespace

const CommandInfo* FindCommand(int id) {
  static const QList<CommandInfo> commands = [] {
    QList<CommandInfo> list;
    for (const Entry& entry : Entries()) {
      const QString prompt = QString::fromUtf8(entry.prompt);
      const qsizetype newline = prompt.indexOf('\n');
      list.append({entry.id, newline < 0 ? prompt : prompt.left(newline),
                   newline < 0 ? QString() : prompt.mid(newline + 1), entry.shortcuts});
    }
    return list;
  }();
  for (const CommandInfo& command : commands)
    if (command.id == id) return &command;
  return nullptr;
}

}  // namespace tesselor
