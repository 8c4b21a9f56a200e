// The text field of orinhost check's records: the driver's exact bytes on one line. Control
// characters and the backslash are escaped (\\ \n \r \t \xNN), so the parent gets back every byte
// the child saw, and a text can never end its record early.
#ifndef TOOLS_ORINHOST_RECORDTEXT_H
#define TOOLS_ORINHOST_RECORDTEXT_H

#include <string>

// Longer texts are cut here: a driver's answer must not make the parent's memory its own.
constexpr size_t kLongestRecordText = 65536;

std::string EncodeRecordText(const std::string& text);

// False for what EncodeRecordText never writes (a raw control character, an unknown escape).
bool DecodeRecordText(const std::string& encoded, std::string& text);

#endif  // TOOLS_ORINHOST_RECORDTEXT_H
