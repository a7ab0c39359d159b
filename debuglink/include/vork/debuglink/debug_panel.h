// The debug panel (tab "Ladenie") as plain data: what each record changes.
//
// A view mirrors these fields into widgets; the headless debugger prints
// them.  Texts are UTF-8; the character field holds the input bytes as the
// generated compiler read them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vork::debuglink {

// Fixed captions of the panel.
extern const char* const kLabelTokenCode;   // "Kód lexikálnej jednotky:"
extern const char* const kLabelLexicalUnit; // "Lexikálna jednotka:"
extern const char* const kLabelInputStream; // "Vstupný prúd znakov:"
extern const char* const kPanelTabCaption;  // "Ladenie"

// The grammar file as its owner read it.
struct GrammarText {
    bool ok = false;
    std::vector<std::string> lines;
    std::string error; // the system's own text of the failure when !ok
};

// Reads a grammar file, one item per line, CR LF and LF alike.
GrammarText readGrammarFile(const std::string& path);

// What the start display needs from the panel's owner.
class DebugPanelOwner {
public:
    virtual ~DebugPanelOwner() = default;
    // Step 1: the eleven debug menu items and seven debug buttons.
    virtual void enableDebugCommands() = 0;
    // Step 3: the project's grammar file (base name + ".y").
    virtual GrammarText loadGrammar() = 0;
    // A Yes/No question with the stop icon; true for Yes.
    virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;
    // The standard error box with the failure's own text.
    virtual void showErrorText(const std::string& text) = 0;
};

extern const char* const kGrammarOpenCaption;  // "Korvalen"
extern const char* const kGrammarOpenQuestion; // "Nie je možné otvoriť ... \nChcete vedieť viac ?"

// The line a record adds to the panel's trace list ("Syntakticka chyba !",
// "Start analyzy", ...); "" for a record that adds none.
std::string traceMessage(uint32_t kind, int32_t value1, int32_t value2);

class DebugPanel {
public:
    // The change one record makes.  State (6) and unknown kinds change
    // nothing.
    void show(uint32_t kind, int32_t value1, int32_t value2, DebugPanelOwner& owner);

    const std::string& tokenCode() const { return tokenCode_; }     // Label2x
    const std::string& characters() const { return characters_; }   // Label6
    const std::string& inputStream() const { return inputStream_; } // Label8, never written
    const std::string& stepLine() const { return stepLine_; }       // Panel7
    const std::vector<std::string>& trace() const { return trace_; } // ListBox1
    const std::vector<std::string>& grammar() const { return grammar_; } // ListBox2
    // Index of the selected grammar item, -1 when none.
    int selectedGrammarItem() const { return selected_; }

    // The token names of the last debug build, kept for views that want
    // to name the code in the token-code field.
    void setTokenNames(std::vector<std::string> names) { tokenNames_ = std::move(names); }
    const std::vector<std::string>& tokenNames() const { return tokenNames_; }

private:
    void startDisplay(DebugPanelOwner& owner);

    std::string tokenCode_;
    std::string characters_;
    std::string inputStream_;
    std::string stepLine_;
    std::vector<std::string> trace_;
    std::vector<std::string> grammar_;
    int selected_ = -1;
    std::vector<std::string> tokenNames_;
};

} // namespace vork::debuglink
