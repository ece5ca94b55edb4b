#include "session/control_states.h"

#include "session/editing.h"
#include "session_fixture.h"

namespace sorvane::test {
namespace {

class ControlStatesTest : public SessionTest {};

// What takes input after each change of the session: nothing open (in
// either chosen mode), open in each mode, modified, and with undo and redo.
TEST_F(ControlStatesTest, FollowTheSessionAndTheChosenMode) {
  const auto states = [this](SessionMode chosen) { return controlStates(session, chosen); };
  ControlStates closed;
  closed.chooseMode = true;
  closed.changeSame = true;
  EXPECT_EQ(states(SessionMode::traditional), closed);
  closed.oldOriginalBox = closed.oldOriginalLabel = true;
  closed.changeSame = false;
  EXPECT_EQ(states(SessionMode::modUpdate), closed);

  const std::u16string original = writeQm("en.qm", {{1, u"a", "", ""}, {2, u"b", "", ""}});
  ASSERT_TRUE(openTraditional(original, u""));
  ControlStates open;
  open.exportTexts = open.close = open.debugQm = open.changeSame = open.modLanguage = true;
  EXPECT_EQ(states(SessionMode::traditional), open);
  ASSERT_TRUE(commitEdit(session, 0, u"x", false));
  open.save = open.undo = true;
  EXPECT_EQ(states(SessionMode::traditional), open);
  ASSERT_TRUE(undo(session));
  open.undo = false;
  open.redo = true;
  EXPECT_EQ(states(SessionMode::traditional), open);

  session.resetSession();
  session.undoLog().clear();
  ASSERT_TRUE(openModUpdate(original, original, u""));
  ControlStates update;
  update.exportTexts = update.close = update.modLanguage = update.oldOriginalLabel = true;
  EXPECT_EQ(states(SessionMode::modUpdate), update);
}

}  // namespace
}  // namespace sorvane::test
