#pragma once

#include "session/session.h"

namespace sorvane {

// Which of the main window's controls take input, worked out from the
// session and the mode the user has chosen (which is the session's once
// files are open). A disabled control's keys are refused too.
struct ControlStates {
  bool chooseMode = false;      // the mode buttons, Open, the original's path box and "..."
  bool oldOriginalBox = false;  // the old original's path box and "..."
  bool oldOriginalLabel = false;
  bool save = false;
  bool exportTexts = false;
  bool close = false;
  bool debugQm = false;
  bool undo = false;
  bool redo = false;
  bool changeSame = false;
  bool modLanguage = false;

  bool operator==(const ControlStates&) const = default;
};

ControlStates controlStates(const Session& session, SessionMode chosenMode);

}  // namespace sorvane
