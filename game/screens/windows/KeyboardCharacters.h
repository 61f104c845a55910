#pragma once

// Single-byte (code page 1252) character helpers for text entry.

// Upper- and lower-case forms; characters without one come back unchanged.
char Cp1252Upper(char ch);
char Cp1252Lower(char ch);
// The character that the key typing ch gives unshifted on the US keyboard
// layout (letters come back upper case); 0 when no key of it types ch.
char UsKeyCharacter(char ch);
