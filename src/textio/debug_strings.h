#pragma once

#include "qm/qm_document.h"

#include <string>
#include <string_view>

namespace sorvane {

class Session;

// The proposed debug ID: the Original's file name without its extension.
std::u16string debugIdProposal(std::u16string_view originalPath);

// The proposed name of the debug file: the Mod's name without its
// extension and with "_debug.qm", beside it ("de.qm" gives "de_debug.qm").
std::u16string debugFileProposal(std::u16string_view modPath);

// A copy of the session's Mod ("Traditional" only) in which every row has
// its debug text: the ID, through the system's 8-bit code page (what it
// can't represent comes back as the replacement character), and the row
// number from 0 in decimal. The session itself is not changed. Empty in
// "Mod update".
QmDocument debugDocument(const Session& session, std::u16string_view debugId);

}  // namespace sorvane
