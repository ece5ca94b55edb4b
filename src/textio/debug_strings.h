#pragma once

#include <string>
#include <string_view>

namespace sorvane {

class Session;

// The proposed debug ID: the Original's file name without its extension.
std::u16string debugIdProposal(std::u16string_view originalPath);

// Gives every row ("Traditional" only) its debug text: the ID, through the
// system's 8-bit code page (what it can't represent comes back as the
// replacement character), and the row number from 0 in decimal. Not an
// undoable change, and the modified flag stays as it was.
void makeDebugStrings(Session& session, std::u16string_view debugId);

}  // namespace sorvane
