#pragma once
// Workbooks saved with a password to open. Excel also encrypts a workbook whose structure
// or windows are protected, with the built-in password "VelvetSweatshop", and opens such a
// file without asking: so does this library.
#include <string>

namespace kestrova::xls {

// If the globals of the Workbook stream hold a FILEPASS record, decrypts the stream in
// place with the built-in password and removes the FILEPASS record (moving the sheet
// positions in BOUNDSHEET and INDEX records with it), so the stream reads as if saved
// without encryption. Throws XlsError(Encrypted) when the workbook needs a password of its
// own or uses an encryption other than RC4 or RC4 CryptoAPI (`what` names the file in the
// message). Leaves other streams alone.
void removeBuiltinPasswordEncryption(std::string &stream, const std::string &what);

} // namespace kestrova::xls
