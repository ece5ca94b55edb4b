// How a key press finds its command in the table, and how a key is named.

#include "controller/commands.h"

namespace sorvane {

bool pressNeedsCtrl(KeyPress press) {
  return press == KeyPress::ctrl || press == KeyPress::ctrlNoAlt || press == KeyPress::ctrlShift ||
         press == KeyPress::ctrlAlt;
}

bool pressFits(KeyPress press, const KeyModifiers& m) {
  switch (press) {
    case KeyPress::ctrl:
      return m.ctrl && !m.shift;
    case KeyPress::ctrlNoAlt:
      return m.ctrl && !m.shift && !m.alt;
    case KeyPress::ctrlShift:
      return m.ctrl && m.shift && !m.alt;
    case KeyPress::ctrlAlt:
      return m.ctrl && m.alt && !m.shift;
    case KeyPress::plain:
      return !m.ctrl && !m.shift && !m.alt && !m.mouseButtonHeld;
    case KeyPress::plainNoLocks:
      return !m.ctrl && !m.shift && !m.alt && !m.mouseButtonHeld && !m.capsLock;
    case KeyPress::shift:
      return m.shift && !m.ctrl && !m.alt;
  }
  return false;
}

KeyOutcome keyOutcome(Key key, const KeyModifiers& modifiers, KeyWindow window, KeyTarget target,
                      bool windowActive) {
  const auto fits = [&](const KeyBinding& binding) {
    return binding.key != Key::none && binding.key == key && pressFits(binding.press, modifiers) &&
           (binding.window == KeyWindow::any || binding.window == window);
  };
  // The first binding that fits where the key was sent runs its command.
  for (const CommandInfo& info : commandTable()) {
    for (const KeyBinding& binding : info.keys) {
      if (!fits(binding) || (binding.where & targets(target)) == 0) continue;
      if (binding.activeWindowOnly && !windowActive) {
        return {.command = std::nullopt, .taken = true, .inactive = true};
      }
      return {.command = info.id, .taken = !binding.passesOn};
    }
  }
  // Elsewhere a key of the program may still be taken, so that it reaches
  // no widget.
  for (const CommandInfo& info : commandTable()) {
    for (const KeyBinding& binding : info.keys) {
      if (fits(binding) && binding.elsewhere == Elsewhere::taken) return {.taken = true};
    }
  }
  return {};
}

std::u16string keyText(const KeyBinding& binding) {
  std::u16string text;
  switch (binding.press) {
    case KeyPress::ctrl:
    case KeyPress::ctrlNoAlt:
      text = u"Ctrl+";
      break;
    case KeyPress::ctrlShift:
      text = u"Ctrl+Shift+";
      break;
    case KeyPress::ctrlAlt:
      text = u"Ctrl+Alt+";
      break;
    case KeyPress::shift:
      if (binding.key != Key::backtab) text = u"Shift+";
      break;
    case KeyPress::plain:
    case KeyPress::plainNoLocks:
      break;
  }
  switch (binding.key) {
    case Key::none:
      return {};
    case Key::f2:
      return text + u"F2";
    case Key::f3:
      return text + u"F3";
    case Key::f8:
      return text + u"F8";
    case Key::enter:
      return text + u"Enter";
    case Key::escape:
      return text + u"Esc";
    case Key::del:
      return text + u"Delete";
    case Key::tab:
      return text + u"Tab";
    case Key::backtab:
      return text + u"Shift+Tab";
  }
  text.push_back(static_cast<char16_t>(binding.key));
  return text;
}

std::u16string commandTooltip(const CommandInfo& info) {
  std::u16string tip(info.description);
  const std::u16string key = keyText(info.keys[0]);
  if (!key.empty()) tip += u" (" + key + u")";
  return tip;
}

}  // namespace sorvane
