#include "support/gettext_po_reference.h"

#include "platform/utf8.h"

#include <gettext-po.h>

#include <csetjmp>

namespace sorvane::test {

namespace {

// gettext's handler must not return on a fatal error: the test jumps out.
thread_local std::jmp_buf* fatalJump = nullptr;
thread_local bool faulted = false;

void noteFault(int severity) {
  if (severity == PO_SEVERITY_WARNING) return;
  faulted = true;
  if (severity == PO_SEVERITY_FATAL_ERROR && fatalJump != nullptr) std::longjmp(*fatalJump, 1);
}

const po_xerror_handler kHandler{
    [](int severity, po_message_t, const char*, std::size_t, std::size_t, int, const char*) {
      noteFault(severity);
    },
    [](int severity, po_message_t, const char*, std::size_t, std::size_t, int, const char*,
       po_message_t, const char*, std::size_t, std::size_t, int,
       const char*) { noteFault(severity); }};

po_file_t readWithHandler(const char* path) {
  std::jmp_buf jump;
  fatalJump = &jump;
  faulted = false;
  po_file_t file = nullptr;
  if (setjmp(jump) == 0) file = po_file_read(path, &kHandler);
  fatalJump = nullptr;
  return file;
}

}  // namespace

std::optional<std::vector<ReadUnit>> readPoWithGettext(const std::string& nativePath) {
  po_file_t file = readWithHandler(nativePath.c_str());
  if (file == nullptr || faulted) {
    if (file != nullptr) po_file_free(file);
    return std::nullopt;
  }
  std::vector<ReadUnit> units;
  po_message_iterator_t iterator = po_message_iterator(file, nullptr);
  while (po_message_t message = po_next_message(iterator)) {
    const char* context = po_message_msgctxt(message);
    if (context == nullptr && *po_message_msgid(message) == '\0' &&
        po_message_is_obsolete(message) == 0) {
      continue;  // the header
    }
    ReadUnit unit;
    unit.id = context != nullptr ? context : "";
    unit.keyed = context != nullptr;
    unit.fuzzy = po_message_is_fuzzy(message) != 0 || po_message_is_obsolete(message) != 0;
    unit.sources.push_back(fromUtf8(po_message_msgid(message)));
    if (const char* plural = po_message_msgid_plural(message); plural != nullptr) {
      unit.sources.push_back(fromUtf8(plural));
      for (int form = 0;; ++form) {
        const char* text = po_message_msgstr_plural(message, form);
        if (text == nullptr) break;
        unit.translations.push_back(fromUtf8(text));
      }
    } else {
      unit.translations.push_back(fromUtf8(po_message_msgstr(message)));
    }
    units.push_back(std::move(unit));
  }
  po_message_iterator_free(iterator);
  po_file_free(file);
  return units;
}

}  // namespace sorvane::test
