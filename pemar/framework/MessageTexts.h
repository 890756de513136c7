// The English texts of the library's message keys: one table, sorted by
// key, that the string table (FindString in Messages.h) falls back to, so
// that every message the library sends, and every title and label it looks
// up, reads as a sentence rather than as its key.
//
// A text shows the arguments of its message where it has "%s", in order
// (see KeyedText in Messages.h). An embedding program that wants other
// words, or another language, sets them with SetString; those win over
// these.

#ifndef PEMAR_FRAMEWORK_MESSAGETEXTS_H_
#define PEMAR_FRAMEWORK_MESSAGETEXTS_H_

#include <span>
#include <string_view>

#include "pemar/framework/Export.h"

namespace pemar {

struct MessageText {
  const char* key;
  const char* text;
};

// Every key with its English text, sorted by key (byte order), each key once.
PEMAR_EXPORT std::span<const MessageText> EnglishMessageTexts();

// The English text of `key`, or null when the table has none.
PEMAR_EXPORT const char* EnglishMessageText(std::string_view key);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_MESSAGETEXTS_H_
