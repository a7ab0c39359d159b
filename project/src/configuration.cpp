#include "vork/project/configuration.h"

#include "vork/project/atomic_file.h"
#include "vork/project/project_ui.h"
#include "vork/project/texts.h"
#include "text_cursor.h"
#include "vork/progdir.h"

#include <QFileInfo>
#include <QSettings>
#include <QString>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace vork {

namespace {

// The longest path or font name line kept; a longer one is not taken.
constexpr size_t kMaxConfigLine = 253;
// The largest konfig.ide read: two lines of kMaxConfigLine, six short ones,
// and room for blanks.
constexpr size_t kMaxConfigBytes = 4096;

std::string withSlash(std::string dir)
{
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

bool makeDirectories(const std::string& dir)
{
    for (size_t i = 1; i <= dir.size(); ++i) {
        if (i == dir.size() || dir[i] == '/') {
            std::string part = dir.substr(0, i);
            if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
                return false;
        }
    }
    return true;
}

// The key of Configuration::fastParser in kSettingsFileName.
const QString kFastParserKey = QStringLiteral("generatory/rychly_parser");

void readSettings(const std::string& path, Configuration& config)
{
    const QString file = QString::fromStdString(path);
    // QSettings would read a directory or a device as an empty file; only
    // a regular file is taken.
    if (!QFileInfo(file).isFile())
        return;
    QSettings s(file, QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        return;
    const QVariant fast = s.value(kFastParserKey);
    if (fast.isValid())
        config.fastParser = fast.toBool();
}

void writeSettings(const std::string& path, const Configuration& config)
{
    QSettings s(QString::fromStdString(path), QSettings::IniFormat);
    // The other keys of the file (the window layout) stay: QSettings
    // merges with what is on disk when it syncs.
    s.setValue(kFastParserKey, config.fastParser);
    s.sync();
}

} // namespace

void parseConfiguration(const std::string& bytes, Configuration& c)
{
    // A mark of UTF-8 in front (an editor's) would stop the reading at the
    // first flag and lose every setting.
    const std::string text = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? bytes.substr(3) : bytes;
    TextCursor in(text);
    // The four flags.  A value that is not a number ends the reading: what
    // follows can no longer be placed, so it keeps its defaults.
    bool* flags[] = {&c.scannerOptimisation, &c.scannerStatistics, &c.slovakMessages};
    for (bool* f : flags) {
        int64_t v;
        if (!in.readInteger(v))
            return;
        *f = v != 0;
    }
    int64_t colouring;
    if (!in.readInteger(colouring))
        return;
    c.syntaxColouring = colouring == 1;

    in.skipOne();
    bool ended = false;
    std::string path = in.restOfLine(ended);
    if (path.size() > kMaxConfigLine)
        return;
    c.cCompilerPath = path;
    if (ended)
        return;  // the file stops right after the compiler path

    std::string font = in.restOfLine(ended);
    if (font.size() > kMaxConfigLine)
        return;
    c.fontName = font;
    int64_t size;
    if (!in.readInteger(size))
        return;
    if (size >= 2 && size <= 99)
        c.fontSize = static_cast<int>(size);

    // Large tables, like the generator flags above: any nonzero number.
    // Files written before the line existed end here, which reads as off.
    int64_t large;
    c.largeTables = in.readInteger(large) && large != 0;
}

std::string serializeConfiguration(const Configuration& c)
{
    std::string s;
    s += c.scannerOptimisation ? "1\r\n" : "0\r\n";
    s += c.scannerStatistics ? "1\r\n" : "0\r\n";
    s += c.slovakMessages ? "1\r\n" : "0\r\n";
    s += c.syntaxColouring ? "1\r\n" : "0\r\n";
    s += c.cCompilerPath + "\r\n";
    s += c.fontName + "\r\n";
    s += std::to_string(c.fontSize) + "\r\n";
    s += c.largeTables ? "1\r\n" : "0\r\n";
    return s;
}

std::string defaultConfigDirectory()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/')
        return withSlash(xdg) + "vork/";
    const char* home = std::getenv("HOME");
    return withSlash(home && *home ? home : "/tmp") + ".config/vork/";
}

std::string configDirectory(const std::string& programDir)
{
    if (!programDir.empty() && ::access(programDir.c_str(), W_OK) == 0)
        return withSlash(programDir);
    return defaultConfigDirectory();
}

ConfigFile::ConfigFile(std::string directory)
    : dir_(withSlash(std::move(directory))), path_(dir_ + kConfigFileName), settingsPath_(dir_ + kSettingsFileName)
{
}

ConfigFile::ConfigFile(std::string directory, std::string defaultFile) : ConfigFile(std::move(directory))
{
    default_ = std::move(defaultFile);
}

bool ConfigFile::read(Configuration& config) const
{
    readSettings(settingsPath_, config);
    return readFile(path_, config);
}

bool ConfigFile::readFile(const std::string& path, Configuration& config)
{
    std::string bytes;
    // konfig.ide is eight short lines; a device or a huge file is not it.
    if (!readWholeFile(path, bytes, kMaxConfigBytes))
        return false;
    parseConfiguration(bytes, config);
    return true;
}

bool ConfigFile::write(const Configuration& config) const
{
    if (!makeDirectories(dir_))
        return false;
    const bool written = writeFileAtomically(path_, serializeConfiguration(config));
    writeSettings(settingsPath_, config);
    return written;
}

ConfigFile programConfigFile()
{
    return ConfigFile(configDirectory(programDirectory()), dataFilePath(kConfigFileName));
}

bool readConfiguration(const ConfigFile& file, Configuration& config, ProjectUi& ui)
{
    if (file.read(config))
        return true;
    // A user without a konfig.ide of their own starts from the installed
    // one; a file of theirs that cannot be read is still reported.
    struct stat st;
    if (!file.defaultFile().empty() && ::stat(file.path().c_str(), &st) != 0 && errno == ENOENT &&
        file.defaultFile() != file.path() && ConfigFile::readFile(file.defaultFile(), config))
        return true;
    ui.showMessage(texts::kConfigMissing, texts::kCaption, ProjectUi::Icon::Warning);
    return false;
}

void writeConfiguration(const ConfigFile& file, const Configuration& config)
{
    file.write(config);
}

} // namespace vork
