#pragma once

#include <string>

// A light check of Wavefront OBJ text before it reaches the model importer, whose OBJ parser
// reads and writes out of bounds on malformed input (line and point elements, faces cut off
// at the end of the file, out-of-range indices, line continuations at the end of the file).
//
// Accepted, one statement per line (tokens separated by spaces or tabs, a line may end in
// "\r\n"): blank lines; comments starting with '#'; "v x y z" and "vn x y z"; "vt u v" and
// "vt u v w"; "f" with exactly three corners of one form "v", "v/t", "v//n" or "v/t/n" whose
// indices are positive and refer to elements declared above; "o", "g", "usemtl" and "mtllib"
// with a name; "s" with one word. Numbers are decimal: optional sign, digits, optional
// fraction, optional exponent. No NUL or other control bytes, no backslashes.
//
// On success the text is rewritten into what the importer is given: material library lines
// become comments (the game sets its materials in code, and a library would be read
// unchecked) and a missing final line end is added. On failure the text is unspecified.
bool checkObjText(std::string& text);
