#pragma once

class QWidget;

namespace sorvane {

class DialogServices;
class TranslationAssistant;
class WindowController;

// Asks for a translation file (or, with folder, a folder of them) and adds
// its translations to the memory off the interface's thread, with a
// progress dialog that can stop it; then shows what was added.
void addToMemory(WindowController& controller, TranslationAssistant& assistant, bool folder,
                 QWidget* parent);

}  // namespace sorvane
