// The project's own user-facing texts.  They are shown, logged and
// compared by scripts exactly as they are, so they live in one place.
#pragma once

namespace vork::texts {

inline constexpr const char* kOpenFailed = "Chyba pri otváraní projekt súboru ";
inline constexpr const char* kBadFormat = "Zlý formát projekt súboru ";
inline constexpr const char* kCancelled = "Projekt zruseny! ";
inline constexpr const char* kCannotCreate = "Nie je možné vytvoriť súbor ";
inline constexpr const char* kCannotWrite = "Nie je možné zapísať projekt súbor ";
// "Súbor " + project file + kAskCreateTail, asked with the caption kNotice.
inline constexpr const char* kAskCreateHead = "Súbor ";
inline constexpr const char* kAskCreateTail = " neexistuje\nZaložiť nový projekt ?";
inline constexpr const char* kNotice = "Oznam ";
// kKeptHead + file name + kKeptTail: a new project found the source already
// there and left it alone.
inline constexpr const char* kKeptHead = "Súbor ";
inline constexpr const char* kKeptTail = " už existuje, ponechaný bez zmeny.";
inline constexpr const char* kCaption = "Korvalen";
// kLockedHead + project file + kLockedTail, shown with kCaption when another
// environment has the project open.
inline constexpr const char* kLockedHead = "Projekt ";
inline constexpr const char* kLockedTail =
    " je už otvorený v inom okne VORK.\nOtvára sa len na čítanie: zmeny projektu sa neuložia.";
// save() of a project opened read-only.
inline constexpr const char* kReadOnlyHead = "Projekt ";
inline constexpr const char* kReadOnlyTail =
    " je otvorený len na čítanie (má ho otvorený iné okno VORK), neuložený.";
// kBuildLockedHead + project file + kBuildLockedTail: a build command in an
// instance that opened the project read-only.
inline constexpr const char* kBuildLockedHead = "Projekt ";
inline constexpr const char* kBuildLockedTail =
    " je otvorený len na čítanie (má ho otvorený iné okno VORK), nezostavuje sa.";
// kDirectoryBusyHead + project directory + kDirectoryBusyTail: a build
// command while another project of the directory is building.
inline constexpr const char* kDirectoryBusyHead = "V adresári ";
inline constexpr const char* kDirectoryBusyTail =
    " práve zostavuje iný projekt (súbor lexyy.cpp je spoločný), nezostavuje sa. "
    "Skúste to znova, keď skončí.";
inline constexpr const char* kConfigMissing = "Nepodarilo sa otvorit konfiguračný súbor !\n";

} // namespace vork::texts
