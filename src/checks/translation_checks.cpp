#include "checks/translation_checks.h"

#include "platform/case_mapping.h"
#include "platform/message_format.h"

#include <algorithm>
#include <array>
#include <map>

namespace sorvane {

namespace {

bool isSpace(char16_t unit) {
  return unit == u' ' || unit == u'\t' || unit == u'\n' || unit == u'\r' || unit == 0x00A0 ||
         unit == 0x3000 || unit == 0x202F;
}

// Qt's place markers: %1 to %99, %L1 and so on, %n and %Ln; "%%" is a
// percent sign. Each as the argument it stands for.
std::vector<std::u16string> placeMarkers(std::u16string_view text) {
  std::vector<std::u16string> markers;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%') continue;
    std::size_t at = i + 1;
    if (at < text.size() && text[at] == u'%') {
      i = at;
      continue;
    }
    // "%L1" is "%1" in the locale's digits: the same argument, which a
    // translator may show either way.
    if (at < text.size() && text[at] == u'L') ++at;
    if (at < text.size() && text[at] == u'n') {
      markers.emplace_back(u"%n");
      i = at;
      continue;
    }
    std::size_t digits = at;
    while (digits < text.size() && digits - at < 2 && text[digits] >= u'0' &&
           text[digits] <= u'9') {
      ++digits;
    }
    if (digits > at && !(digits - at == 1 && text[at] == u'0')) {
      markers.push_back(u'%' + std::u16string(text.substr(at, digits - at)));
      i = digits - 1;
    }
  }
  std::sort(markers.begin(), markers.end());
  return markers;
}

}  // namespace

// One pass over the text; the place markers and tags are read again only
// where a "%" or a "<" shows they may be there.
TextTraits traitsOf(std::u16string_view text) {
  TextTraits traits;
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size; ++i) {
    switch (text[i]) {
      case u'\n':
        ++traits.lineBreaks;
        break;
      case u'%':
        traits.percent = true;
        break;
      case u'<':
        traits.angle = true;
        break;
      case u'&':
        // "&&" is an ampersand; "&" before white space or at the end is none.
        if (i + 1 < size && text[i + 1] == u'&') {
          ++i;
        } else if (i + 1 < size && !isSpace(text[i + 1])) {
          if (traits.accelerators++ == 0) traits.accelerator = lowerCaseTable()[text[i + 1]];
        }
        break;
      default:
        break;
    }
  }
  return traits;
}

namespace {

// The ending punctuation of a text, by kind; full-width and other
// scripts' forms count as the same.
enum class Ending { none, colon, ellipsis, period, question, exclamation };

Ending endingOf(std::u16string_view text) {
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  if (text.empty()) return Ending::none;
  if (text.ends_with(u"...") || text.back() == u'\u2026') return Ending::ellipsis;
  switch (text.back()) {
    case u':':
    case u'\uFF1A':
      return Ending::colon;
    case u'.':
    case u'\u3002':
    case u'\uFF0E':
    case u'\u0964':
    case u'\u06D4':
      return Ending::period;
    case u'?':
    case u'\uFF1F':
    case u'\u061F':
    case u'\u037E':
      return Ending::question;
    case u'!':
    case u'\uFF01':
      return Ending::exclamation;
    default:
      return Ending::none;
  }
}

std::u16string_view endingText(Ending ending) {
  switch (ending) {
    case Ending::colon:
      return u":";
    case Ending::ellipsis:
      return u"…";
    case Ending::period:
      return u".";
    case Ending::question:
      return u"?";
    case Ending::exclamation:
      return u"!";
    case Ending::none:
      break;
  }
  return u"";
}

// The rich-text tags Qt knows; anything else between "<" and ">" is text
// ("<none>").
bool isHtmlTag(std::u16string_view name) {
  static constexpr std::array<std::u16string_view, 45> kTags = {
      u"a",    u"address", u"b",    u"big", u"blockquote", u"body", u"br",   u"center", u"cite",
      u"code", u"dd",      u"div",  u"dl",  u"dt",         u"em",   u"font", u"h1",     u"h2",
      u"h3",   u"h4",      u"h5",   u"h6",  u"head",       u"hr",   u"html", u"i",      u"img",
      u"kbd",  u"li",      u"nobr", u"ol",  u"p",          u"pre",  u"qt",   u"s",      u"small",
      u"span", u"strong",  u"sub",  u"sup", u"table",      u"td",   u"th",   u"tr",     u"tt"};
  return std::find(kTags.begin(), kTags.end(), name) != kTags.end() || name == u"u" ||
         name == u"ul" || name == u"var";
}

bool isVoidTag(std::u16string_view name) {
  return name == u"br" || name == u"hr" || name == u"img";
}

struct Tag {
  std::u16string name;
  bool closing = false;
};

std::vector<Tag> tagsOf(std::u16string_view text) {
  std::vector<Tag> tags;
  const char16_t* lower = lowerCaseTable();
  for (std::size_t at = text.find(u'<'); at != std::u16string_view::npos;
       at = text.find(u'<', at + 1)) {
    std::size_t i = at + 1;
    Tag tag;
    if (i < text.size() && text[i] == u'/') {
      tag.closing = true;
      ++i;
    }
    while (i < text.size() &&
           ((text[i] >= u'a' && text[i] <= u'z') || (text[i] >= u'A' && text[i] <= u'Z') ||
            (text[i] >= u'0' && text[i] <= u'9'))) {
      tag.name.push_back(lower[text[i]]);
      ++i;
    }
    const std::size_t end = text.find(u'>', i);
    if (end == std::u16string_view::npos || !isHtmlTag(tag.name)) continue;
    if (i < text.size() && text[i] != u'>' && text[i] != u'/' && !isSpace(text[i])) continue;
    tags.push_back(std::move(tag));
  }
  return tags;
}

// Whether every tag that needs it is closed, in order.
bool tagsBalanced(const std::vector<Tag>& tags) {
  std::vector<std::u16string_view> open;
  for (const Tag& tag : tags) {
    if (isVoidTag(tag.name)) continue;
    if (!tag.closing) {
      open.push_back(tag.name);
    } else if (open.empty() || open.back() != tag.name) {
      return false;
    } else {
      open.pop_back();
    }
  }
  return open.empty();
}

std::u16string joined(const std::vector<std::u16string>& items) {
  std::u16string text;
  for (const std::u16string& item : items) {
    if (!text.empty()) text += u", ";
    text += item;
  }
  return text;
}

// What one multiset has that the other lacks.
std::vector<std::u16string> lacking(const std::vector<std::u16string>& from,
                                    const std::vector<std::u16string>& in) {
  std::vector<std::u16string> missing;
  std::set_difference(from.begin(), from.end(), in.begin(), in.end(), std::back_inserter(missing));
  missing.erase(std::unique(missing.begin(), missing.end()), missing.end());
  return missing;
}

void checkPlaceMarkers(std::u16string_view original, std::u16string_view translation,
                       std::vector<Problem>& problems) {
  const std::vector<std::u16string> wanted = placeMarkers(original);
  const std::vector<std::u16string> given = placeMarkers(translation);
  // A marker used twice in one text and once in the other is the same
  // argument: only which markers there are counts.
  std::vector<std::u16string> wantedSet = wanted;
  std::vector<std::u16string> givenSet = given;
  wantedSet.erase(std::unique(wantedSet.begin(), wantedSet.end()), wantedSet.end());
  givenSet.erase(std::unique(givenSet.begin(), givenSet.end()), givenSet.end());
  const std::vector<std::u16string> missing = lacking(wantedSet, givenSet);
  const std::vector<std::u16string> extra = lacking(givenSet, wantedSet);
  if (missing.empty() && extra.empty()) return;
  std::u16string message;
  if (!missing.empty()) message = u"Missing place marker " + joined(missing);
  if (!extra.empty()) {
    if (!message.empty()) message += u"; ";
    message += u"Place marker " + joined(extra) + u" is not in the original";
  }
  problems.push_back({CheckKind::placeMarkers, message});
}

void checkAccelerators(const TextTraits& original, const TextTraits& translation,
                       std::vector<Problem>& problems) {
  const std::int32_t wanted = original.accelerators;
  const std::int32_t given = translation.accelerators;
  if (wanted == given) return;
  if (given == 0) {
    problems.push_back(
        {CheckKind::accelerators, u"The accelerator (&) of the original is missing"});
  } else if (wanted == 0) {
    problems.push_back(
        {CheckKind::accelerators, u"The translation has an accelerator (&) the original hasn't"});
  } else {
    problems.push_back({CheckKind::accelerators,
                        formatMessage(u"The original has %d accelerators (&), the translation %d",
                                      {wanted, given})});
  }
}

void checkPunctuation(std::u16string_view original, std::u16string_view translation,
                      std::vector<Problem>& problems) {
  const Ending wanted = endingOf(original);
  const Ending given = endingOf(translation);
  if (wanted == given) return;
  // A full stop is left out in several scripts; only another ending is a
  // slip there. Without an ending in the original, the translation's own
  // is the translator's choice.
  if (wanted == Ending::none || (wanted == Ending::period && given == Ending::none)) return;
  problems.push_back({CheckKind::punctuation,
                      formatMessage(u"The original ends with \"%s\", the translation doesn't",
                                    {endingText(wanted)})});
}

void checkWhiteSpace(std::u16string_view original, std::u16string_view translation,
                     std::vector<Problem>& problems) {
  const auto leading = [](std::u16string_view text) { return isSpace(text.front()); };
  const auto trailing = [](std::u16string_view text) { return isSpace(text.back()); };
  if (leading(original) != leading(translation)) {
    problems.push_back(
        {CheckKind::whiteSpace, leading(original) ? u"The original starts with white space, the "
                                                    u"translation doesn't"
                                                  : u"The translation starts with white space, the "
                                                    u"original doesn't"});
  }
  if (trailing(original) != trailing(translation)) {
    problems.push_back({CheckKind::whiteSpace, trailing(original)
                                                   ? u"The original ends with white space, the "
                                                     u"translation doesn't"
                                                   : u"The translation ends with white space, the "
                                                     u"original doesn't"});
  }
}

void checkLineBreaks(const TextTraits& original, const TextTraits& translation,
                     std::vector<Problem>& problems) {
  if (original.lineBreaks == translation.lineBreaks) return;
  problems.push_back(
      {CheckKind::lineBreaks, formatMessage(u"The original has %d line breaks, the translation %d",
                                            {original.lineBreaks, translation.lineBreaks})});
}

void checkTags(std::u16string_view original, std::u16string_view translation,
               std::vector<Problem>& problems) {
  const std::vector<Tag> wanted = tagsOf(original);
  if (wanted.empty()) return;
  const std::vector<Tag> given = tagsOf(translation);
  const auto names = [](const std::vector<Tag>& tags) {
    std::vector<std::u16string> list;
    list.reserve(tags.size());
    for (const Tag& tag : tags) list.push_back((tag.closing ? u"</" : u"<") + tag.name + u">");
    std::sort(list.begin(), list.end());
    return list;
  };
  const std::vector<std::u16string> missing = lacking(names(wanted), names(given));
  const std::vector<std::u16string> extra = lacking(names(given), names(wanted));
  if (!missing.empty() || !extra.empty()) {
    std::u16string message;
    if (!missing.empty()) message = u"Missing tag " + joined(missing);
    if (!extra.empty()) {
      if (!message.empty()) message += u"; ";
      message += u"Tag " + joined(extra) + u" is not in the original";
    }
    problems.push_back({CheckKind::tags, message});
  } else if (tagsBalanced(wanted) && !tagsBalanced(given)) {
    problems.push_back({CheckKind::tags, u"The tags are not closed in order"});
  }
}

}  // namespace

std::string_view checkName(CheckKind check) {
  switch (check) {
    case CheckKind::placeMarkers:
      return "place-markers";
    case CheckKind::accelerators:
      return "accelerators";
    case CheckKind::acceleratorClash:
      return "accelerator-clash";
    case CheckKind::punctuation:
      return "punctuation";
    case CheckKind::whiteSpace:
      return "white-space";
    case CheckKind::lineBreaks:
      return "line-breaks";
    case CheckKind::tags:
      return "tags";
    case CheckKind::lookup:
      return "lookup";
    case CheckKind::pluralForms:
      return "plural-forms";
    case CheckKind::spelling:
      return "spelling";
    case CheckKind::pairing:
      return "pairing";
  }
  return "";
}

std::vector<Problem> checkTranslation(std::u16string_view original,
                                      std::u16string_view translation) {
  return checkTranslation(original, traitsOf(original), translation, traitsOf(translation));
}

std::vector<Problem> checkTranslation(std::u16string_view original,
                                      const TextTraits& originalTraits,
                                      std::u16string_view translation,
                                      const TextTraits& translationTraits) {
  std::vector<Problem> problems;
  if (translation.empty() || original.empty() || translation == original) return problems;
  if (originalTraits.percent || translationTraits.percent) {
    checkPlaceMarkers(original, translation, problems);
  }
  checkAccelerators(originalTraits, translationTraits, problems);
  checkPunctuation(original, translation, problems);
  checkWhiteSpace(original, translation, problems);
  checkLineBreaks(originalTraits, translationTraits, problems);
  if (originalTraits.angle) checkTags(original, translation, problems);
  return problems;
}

bool hasPlaceMarkers(std::u16string_view text) {
  return text.find(u'%') != std::u16string_view::npos && !placeMarkers(text).empty();
}

char16_t acceleratorOf(std::u16string_view text) { return traitsOf(text).accelerator; }

std::uint32_t qtMessageHash(std::string_view sourceText, std::string_view comment) {
  std::uint32_t hash = 0;
  for (const std::string_view part : {sourceText, comment}) {
    for (const char byte : part) {
      hash = (hash << 4) + static_cast<unsigned char>(byte);
      const std::uint32_t high = hash & 0xF0000000U;
      if (high != 0) hash ^= high >> 24;
      hash &= ~high;
    }
  }
  return hash == 0 ? 1 : hash;
}

}  // namespace sorvane
