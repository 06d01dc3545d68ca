#include "document/stored_text.h"

#include <cstring>

bool is_control_character(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u < 32 || u == 127;
}

size_t writable_length(const char* text) {
    size_t n = 0;
    if (text)
        while (text[n] && !is_control_character(text[n])) n++;
    return n;
}

TextFault stored_text_fault(const char* text, size_t longest) {
    if (!text) return TextFault::None;
    const size_t n = writable_length(text);
    if (text[n]) return TextFault::ControlCharacter;
    return n > longest ? TextFault::TooLong : TextFault::None;
}

std::string stored_text_alert(TextFault fault, const char* what) {
    switch (fault) {
    case TextFault::ControlCharacter:
        return std::string(what) +
               " holds a line break or another control character, which a level file cannot hold.";
    case TextFault::TooLong:
        return std::string(what) + " is longer than 255 characters, more than a level can hold.";
    case TextFault::None: break;
    }
    return std::string();
}

void StoredTextEdits::end_run() {
    source_ = nullptr;
    field_ = nullptr;
}

StoredTextEdits::Outcome StoredTextEdits::edit(const void* source, char* field, const char* text) {
    if (source != source_ || field != field_) {
        source_ = source;
        field_ = field;
        origin_ = field;
        refused_.clear();
    }
    Outcome out;
    out.fault = stored_text_fault(text);
    if (out.fault == TextFault::None) {
        copy_text(field, text);
        refused_.clear();
        return out;
    }
    // An over-long text that only grows further was told of already.
    const bool grows = out.fault == TextFault::TooLong && !refused_.empty() &&
                       std::strlen(text) > refused_.size() &&
                       std::strncmp(text, refused_.c_str(), refused_.size()) == 0;
    out.alert = !grows;
    refused_ = out.fault == TextFault::TooLong ? text : "";
    if (out.fault == TextFault::TooLong) copy_text(field, origin_.c_str());
    // The field shows the stored text again, from which the next run of edits starts.
    origin_ = field;
    return out;
}
