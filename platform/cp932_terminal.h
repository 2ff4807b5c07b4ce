// Code page 932 text printed on a UTF-8 terminal, for the Linux message box.
#pragma once

// Writes text to standard output as UTF-8. The program's own characters come from a table, so
// showing its texts never loads iconv's CP932 module (which takes longer than all the rest of a
// run); any other character goes through iconv, and a byte that is not code page 932 shows as '?'.
void PrintCp932(const char* text);

// The UTF-8 of the two-byte character lead, trail if the table has it, or null.
const char* OwnCharacterUtf8(unsigned char lead, unsigned char trail);
