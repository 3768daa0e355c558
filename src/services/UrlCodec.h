// URL encoding of names on the update host, byte by byte over UTF-8 text.
#pragma once

#include <string>

// Keeps ASCII letters, digits, "-", "." and "_"; turns each white-space byte
// (blank, tab, line feed, vertical tab, form feed, carriage return) into
// "+"; writes every other byte as "%" and two upper-case hex digits.
std::string UrlEncode(const std::string& text);

// Turns "%" with two hex digits (either case) into their byte and "+" into
// a blank; a "%" without two hex digits after it is copied as it is. A zero
// byte, decoded or not, ends the result.
std::string UrlDecode(const std::string& text);
