// The text form of a form stream, as a form's design is kept in the source
// tree, and its conversion to and from the binary form stream the filer
// reads and writes ("TPF0", then the root object).
//
//     object MainForm: TMainForm
//       Caption = 'Editor'
//       Font.Style = [fsBold]
//       object BarManager: TdxBarManager
//         Categories.Strings = (
//           'Default')
//         Bars = <
//           item
//             Caption = 'Standard'
//           end>
//       end
//     end
//
// Values: integers (decimal, or hexadecimal after "$"), floats (a "." or an
// exponent; the suffixes s, c and d make single, currency and date values),
// strings in single quotes with #nnn for a character by its code and "+"
// joining the parts of a long one, identifiers (True, False, nil and Null are
// the values of those names; component references may be dotted), sets
// [a, b], lists ( ... ), binary data { hex digits }, collections
// < item ... end > whose items may carry an index "item [n]", and nested
// objects. An object's header may start with "inherited" or "inline" and
// end with its child position "[n]".
//
// ObjectBinaryToText writes the text this way, and ObjectTextToBinary turns
// that text back into the same bytes. Strings keep their bytes (UTF-8); long
// and wide strings of a stream come back as the writer writes strings.
#pragma once

#include <string>
#include <string_view>

#include "classes/exceptions.h"

namespace cls {

class TStream;

// A malformed text form; the message names the line.
TRESTLE_EXCEPTION(EParserError, Exception);

inline constexpr TResStringRec SParseError{1100, "%s on line %d"};
inline constexpr TResStringRec SIdentifierExpected{1101, "Identifier expected"};
inline constexpr TResStringRec SSymbolExpected{1102, "'%s' expected"};
inline constexpr TResStringRec SUnterminatedString{1103, "Unterminated string"};
inline constexpr TResStringRec SInvalidString{1104, "Invalid string constant"};
inline constexpr TResStringRec SInvalidBinary{1105, "Invalid binary value"};
inline constexpr TResStringRec SInvalidNumber{1106, "Invalid number"};
inline constexpr TResStringRec SNestingTooDeep{1107, "Nesting too deep"};
inline constexpr TResStringRec SNameTooLong{1108, "Name too long"};
inline constexpr TResStringRec SInvalidImage{1109, "Invalid stream format"};

// Both read Input from its position to its end and write at Output's
// position. Text errors raise EParserError; a binary stream that is cut off
// or malformed raises EReadError. Nothing is written to Output on an error.
void ObjectTextToBinary(TStream* Input, TStream* Output);
void ObjectBinaryToText(TStream* Input, TStream* Output);
std::string ObjectTextToBinary(std::string_view Text);
std::string ObjectBinaryToText(std::string_view Binary);

// Objects, lists and collections nest at most this deep, in the text, the
// binary stream and the reader alike.
inline constexpr int MaxFormNesting = 100;

} // namespace cls
