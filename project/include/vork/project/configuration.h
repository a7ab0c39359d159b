// The global settings kept in "konfig.ide": eight lines, CR LF.
//
//   1 scanner optimisation (0/1)    5 C compiler path
//   2 scanner statistics (0/1)      6 editor font name
//   3 Slovak messages (0/1)         7 editor font size (2..99)
//   4 syntax colouring (1 = on)     8 large generator tables (0/1)
//
// The eighth line came later: a file of seven lines leaves it off.
//
// Settings that came after the eight lines live in "vork-okno.ini" beside
// konfig.ide (the window keeps its layout there too), so that konfig.ide
// stays readable by every VORK that knows its eight lines.
#pragma once

#include <string>

namespace vork {

struct Configuration {
    std::string cCompilerPath = "vork-cc";
    bool scannerOptimisation = true;
    bool scannerStatistics = false;
    bool slovakMessages = true;
    bool syntaxColouring = false;
    std::string fontName = "Courier New";
    int fontSize = 8;
    bool largeTables = false;
    // Not a line of konfig.ide: kept in kSettingsFileName.
    bool fastParser = false;
};

constexpr const char* kConfigFileName = "konfig.ide";
// The QSettings (ini) file beside konfig.ide: the window layout and the
// settings konfig.ide has no line for.
constexpr const char* kSettingsFileName = "vork-okno.ini";

// Applies the lines of a konfig.ide to config, which holds the values to
// keep where the file says nothing usable.
void parseConfiguration(const std::string& bytes, Configuration& config);
std::string serializeConfiguration(const Configuration& config);

// Where konfig.ide lives: the program directory when it is writable,
// otherwise $XDG_CONFIG_HOME/vork/ (default ~/.config/vork/).  With a
// trailing '/'.
std::string configDirectory(const std::string& programDir);
std::string defaultConfigDirectory();

// The file in one directory.  The directory is injected so that tests and
// the installed program can use different places.
class ConfigFile {
public:
    explicit ConfigFile(std::string directory);
    // defaultFile: the konfig.ide installed with the program, read instead
    // when the user has none yet.
    ConfigFile(std::string directory, std::string defaultFile);
    const std::string& defaultFile() const { return default_; }

    const std::string& path() const { return path_; }
    // kSettingsFileName in the same directory.
    const std::string& settingsPath() const { return settingsPath_; }

    // Reads into config.  False when konfig.ide cannot be opened; its
    // values in config are then unchanged (the caller shows
    // texts::kConfigMissing).  The settings of kSettingsFileName are read
    // either way; a missing or unreadable one leaves them as they are.
    bool read(Configuration& config) const;
    static bool readFile(const std::string& path, Configuration& config);
    // Writes all eight lines, creating the directory when needed.  False on
    // failure; the old file is then unchanged.  The settings of
    // kSettingsFileName are then merged into that file, keeping its other
    // keys; a failure there does not change the result.
    bool write(const Configuration& config) const;

private:
    std::string dir_;
    std::string path_;
    std::string settingsPath_;
    std::string default_;
};

class ProjectUi;

// konfig.ide where the running program keeps it.
ConfigFile programConfigFile();

// The start-up read: a file that cannot be opened is reported with
// texts::kConfigMissing (caption "Korvalen", warning) and every value in
// config stays.
bool readConfiguration(const ConfigFile& file, Configuration& config, ProjectUi& ui);
// The exit write: a failure is silent, as nobody is left to tell.
void writeConfiguration(const ConfigFile& file, const Configuration& config);

} // namespace vork
