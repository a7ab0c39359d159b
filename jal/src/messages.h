// Every text the translator writes, in one place.
#pragma once

namespace jal::msg {

// Message file (or console when the message file can't be created).
inline constexpr const char* kCannotOpen = "Nemozno otvorit \"%s\"\n";
inline constexpr const char* kInputOk = "Vstupny subor OK\n";
inline constexpr const char* kOutputOk = "Vystupny subor OK\n";
inline constexpr const char* kBadFile = "Chybny subor \"%s\"\n";
inline constexpr const char* kNoMemory = "MALO PAMATI\n";
inline constexpr const char* kCannotCreate = "Nemozno vytvorit \"%s\"\n";
inline constexpr const char* kCannotWrite = "Chyba pri zapise \"%s\"\n";
// Sources that are no text file: a device or a pipe may never end.
inline constexpr const char* kNotRegular = "Nie je obycajny subor \"%s\"\n";
inline constexpr const char* kTooLarge = "Prilis velky subor \"%s\" (najviac 16 MB)\n";
// The class file would replace the source ("HELLO.CLASS").
inline constexpr const char* kOutputIsSource = "Vystupny subor \"%s\" je zdrojovy subor\n";

// Error lines on the console: "%s(LINE %d: %s)\n".
inline constexpr const char* kSyntaxError = "syntax error";
inline constexpr const char* kUnknownDirective = "neznama direktiva";
inline constexpr const char* kUnknownInstruction = "Neznama instrukcia";

// The fixed limits.  Each ends the translation without a class file.
inline constexpr const char* kCodeTooLong = "prilis dlhy kod metody (najviac 10000 bajtov)";
inline constexpr const char* kBadLabel = "cislo navestia mimo rozsahu 0 az 99";
inline constexpr const char* kTooManyBranches = "prilis vela skokov v metode (najviac 200)";
inline constexpr const char* kPoolFull = "plna tabulka konstant (najviac 2048 cisel)";
inline constexpr const char* kTooManyInterfaces = "prilis vela rozhrani (najviac 10)";
inline constexpr const char* kTooManyFields = "prilis vela poloziek triedy (najviac 100)";
inline constexpr const char* kTooManyMethods = "prilis vela metod (najviac 100)";
inline constexpr const char* kTextTooLong = "prilis dlhy text (najviac 255 bajtov)";

// Operands that would otherwise be translated into wrong code.  Each ends
// the translation without a class file, like the limits.
inline constexpr const char* kUndefinedLabel = "nedefinovane navestie";
inline constexpr const char* kByteOutOfRange = "hodnota mimo rozsahu -128 az 127";
inline constexpr const char* kShortOutOfRange = "hodnota mimo rozsahu -32768 az 32767";

} // namespace jal::msg
