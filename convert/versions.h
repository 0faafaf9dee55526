#pragma once
// Two English versions of a script compared by identifier: which texts were
// added, removed or changed, and for a text the dictionary lacks, the
// translation of the text its identifier held in the old version.
//
// A text's identifier is the resource identifier on its line (the control
// or menu item after the text, the string-table identifier before it, a
// dialog's CAPTION), within the menu, dialog or string table it stands in.

#include "convert/report.h"

#include <string>
#include <string_view>
#include <vector>

struct IdentifiedText {
    std::string Key;  // block name, '/', identifier
    std::string Text; // as the script holds it, between the quotes
    int Line = 0;     // from 1
};

// The texts of a Big5 script that carry an identifier, in order.
std::vector<IdentifiedText> IdentifiedTexts(std::string_view bytes);

// Compares the old English script with the new one (both Big5 bytes), puts
// the lists into the report, and gives each text left in English whose
// identifier held another text that the dictionary translates that
// translation, adapted to the new text's markup, as its first suggestion.
void CompareVersions(TranslationReport &report, std::string_view oldBytes, std::string_view newBytes,
                     std::string_view dictionaryBytes);
