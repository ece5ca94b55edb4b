#include "textio/po_file.h"

#include "platform/utf8.h"
#include "qm/plural_rules.h"

#include <gettext-po.h>
#include <sys/mman.h>
#include <unistd.h>

#include <csetjmp>
#include <memory>

namespace sorvane {

namespace {

// libgettextpo reports through a handler that must not return on a fatal
// error: the read jumps back out of the library instead. What it leaves
// allocated then is lost, once, for a file that can't be read anyway.
struct ReadFault {
  std::jmp_buf jump;
  std::string text;
};
thread_local ReadFault* currentFault = nullptr;

void noteFault(int severity, const char* filename, std::size_t line, const char* text) {
  if (severity == PO_SEVERITY_WARNING || currentFault == nullptr) return;
  if (currentFault->text.empty()) {
    if (filename != nullptr && line != static_cast<std::size_t>(-1)) {
      currentFault->text = "line " + std::to_string(line) + ": ";
    }
    currentFault->text += text != nullptr ? text : "unknown error";
    while (!currentFault->text.empty() && currentFault->text.back() == '\n') {
      currentFault->text.pop_back();
    }
  }
  if (severity == PO_SEVERITY_FATAL_ERROR) std::longjmp(currentFault->jump, 1);
}

const po_xerror_handler kHandler{
    [](int severity, po_message_t, const char* filename, std::size_t line, std::size_t, int,
       const char* text) { noteFault(severity, filename, line, text); },
    [](int severity, po_message_t, const char* filename, std::size_t line, std::size_t, int,
       const char* text, po_message_t, const char*, std::size_t, std::size_t, int,
       const char*) { noteFault(severity, filename, line, text); }};

// Only plain C data lives in the frame that jumps back, so no destructor
// is skipped.
po_file_t writeWithHandler(po_file_t file, const char* path, ReadFault& fault) {
  currentFault = &fault;
  po_file_t written = nullptr;
  if (setjmp(fault.jump) == 0) written = po_file_write(file, path, &kHandler);
  currentFault = nullptr;
  return written;
}

struct PoFileFree {
  void operator()(po_file_t file) const { po_file_free(file); }
};
using PoFile = std::unique_ptr<std::remove_pointer_t<po_file_t>, PoFileFree>;

// A comment line ending in a backslash would be joined to the next line by
// every reader (and swallow the msgctxt after it): such a line gets a space
// after its backslash.
std::string safeComment(std::string text) {
  for (std::size_t end = text.find('\n');; end = text.find('\n', end + 1)) {
    const std::size_t at = end == std::string::npos ? text.size() : end;
    if (at > 0 && text[at - 1] == '\\') {
      text.insert(at, 1, ' ');
      if (end != std::string::npos) ++end;
    }
    if (end == std::string::npos) break;
  }
  return text;
}

std::string headerText(const ExchangeHeader& header, const std::string& pluralForms) {
  return "Project-Id-Version: " + header.project +
         "\n"
         "MIME-Version: 1.0\n"
         "Content-Type: text/plain; charset=UTF-8\n"
         "Content-Transfer-Encoding: 8bit\n"
         "Language: " +
         header.language + "\nPlural-Forms: " + pluralForms + "\n";
}

}  // namespace

std::optional<std::vector<std::uint8_t>> poFileBytes(const ExchangeHeader& header,
                                                     std::span<const TranslationUnit> units) {
  const std::optional<std::string> pluralForms = gettextPluralForms(header.pluralRules);
  if (!pluralForms) return std::nullopt;
  const int forms = pluralFormCount(header.pluralRules);
  PoFile file(po_file_create());
  po_message_iterator_t iterator = po_message_iterator(file.get(), nullptr);
  po_message_t head = po_message_create();
  po_message_set_msgid(head, "");
  po_message_set_msgstr(head, headerText(header, *pluralForms).c_str());
  po_message_insert(iterator, head);
  for (const TranslationUnit& unit : units) {
    po_message_t message = po_message_create();
    po_message_set_msgctxt(message, unitId(unit.key).c_str());
    po_message_set_extracted_comments(message, safeComment(unitNotes(unit.key)).c_str());
    po_message_set_msgid(message, toUtf8(unit.sources.front()).c_str());
    // Tools check a Qt format string's markers against its source's.
    if (unit.qtFormat) {
      po_message_set_format(message, unit.plural ? "qt-plural-format" : "qt-format", 1);
    }
    const auto translation = [&unit](std::size_t form) {
      return form < unit.translations.size() ? toUtf8(unit.translations[form]) : std::string();
    };
    if (unit.plural) {
      const std::u16string& plural = unit.sources.size() > 1 ? unit.sources[1] : unit.sources[0];
      po_message_set_msgid_plural(message, toUtf8(plural).c_str());
      for (int form = 0; form < forms; ++form) {
        po_message_set_msgstr_plural(message, form,
                                     translation(static_cast<std::size_t>(form)).c_str());
      }
    } else {
      po_message_set_msgstr(message, translation(0).c_str());
    }
    po_message_insert(iterator, message);
  }
  po_message_iterator_free(iterator);

  // Written into memory: a file of the process's own, by its /proc name.
  const int memory = memfd_create("sorvane-po", MFD_CLOEXEC);
  if (memory < 0) return std::nullopt;
  const std::string path = "/proc/self/fd/" + std::to_string(memory);
  ReadFault fault;
  const bool written =
      writeWithHandler(file.get(), path.c_str(), fault) != nullptr && fault.text.empty();
  std::vector<std::uint8_t> bytes;
  const off_t size = lseek(memory, 0, SEEK_END);
  if (written && size > 0) {
    bytes.resize(static_cast<std::size_t>(size));
    if (pread(memory, bytes.data(), bytes.size(), 0) != size) bytes.clear();
  }
  close(memory);
  if (bytes.empty()) return std::nullopt;
  return bytes;
}

}  // namespace sorvane
