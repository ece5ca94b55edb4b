#include "session/control_states.h"

namespace sorvane {

ControlStates controlStates(const Session& session, SessionMode chosenMode) {
  const bool open = session.isOpen();
  const bool chosenModUpdate = chosenMode == SessionMode::modUpdate;
  const bool modUpdate = open ? session.mode() == SessionMode::modUpdate : chosenModUpdate;
  ControlStates states;
  states.chooseMode = !open;
  states.oldOriginalBox = !open && modUpdate;
  states.oldOriginalLabel = chosenModUpdate;
  states.save = open && session.modified();
  states.exportTexts = open;
  states.close = open;
  states.debugQm = open && !modUpdate;
  states.undo = session.undoLog().canUndo();
  states.redo = session.undoLog().canRedo();
  states.changeSame = !chosenModUpdate;
  states.modLanguage = open;
  return states;
}

}  // namespace sorvane
