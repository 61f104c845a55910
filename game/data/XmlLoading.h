#pragma once

#include <tinyxml.h>

#include <cstdint>
#include <initializer_list>
#include <string>

namespace Lumo {
class Color;
}

// Every data file of the game is read through LoadXmlDocument: the archive
// layer first, then the disk.

// Deeper nesting is refused before parsing: the parser recurses once a level.
constexpr int kMaxXmlDepth = 256;

// Ranges of the numbers the data files give, for the range checks below.
// A track speed something waits on: the track must end, and soon.
constexpr float kMinSpeed = 1e-4f;
constexpr float kMaxSpeed = 1e4f;
// What a refused speed of that kind runs at: its track ends at once.
constexpr float kRefusedSpeed = 1.0f;
// Positions, offsets and sizes in pixels: far beyond the 800 x 600 screen,
// yet far from overflowing when added or multiplied together.
constexpr int32_t kMaxPixels = 10000;
// Any other float: finite and far from overflowing when combined.
constexpr float kMaxMagnitude = 1e6f;
// Percentages of variation: a speed varied by them never turns back.
constexpr int32_t kMaxPercent = 100;

// Parses the whole file into document, which takes the path as its value (the
// range checks name the file by it). A file that cannot be opened or read,
// that does not parse or that nests deeper than kMaxXmlDepth leaves the
// document empty (no root element) and gives false; the caller logs its own
// error for the missing root.
bool LoadXmlDocument(const std::string& path, TiXmlDocument& document);

// The child elements of element whose tag is name; 0 for a null element.
int XmlCountChildElements(const TiXmlElement* element, const char* name);

// The first "window" child of parent whose "name" attribute is exactly name.
const TiXmlElement* XmlFindWindowByName(const TiXmlElement* parent, const std::string& name);

// An attribute read as atoi / atof would read it; fallback when it is absent.
int32_t XmlIntAttribute(const TiXmlElement* element, const char* name, int32_t fallback);
float XmlFloatAttribute(const TiXmlElement* element, const char* name, float fallback);
// Whether a number read from attribute name of element lies in [low, high]
// (a float also finite): the range the code that uses it can take. A value
// outside is logged in one line naming the file, the element and the value.
template <typename T>
bool XmlValueInRange(const TiXmlElement* element, const char* name, T value, T low, T high);
// An attribute read as above and held to [low, high]: a value outside is
// logged and refused, giving fallback (as an absent attribute does).
template <typename T>
T XmlRangedAttribute(const TiXmlElement* element, const char* name, T fallback, T low, T high);

// A position, offset or size in pixels: XmlRangedAttribute within kMaxPixels
// either way, 0 when absent or refused.
int32_t XmlPixelAttribute(const TiXmlElement* element, const char* name);

// Whether every number of a list read from attribute name (a point, a
// rectangle) is a pixel value within kMaxPixels; the first one outside is logged.
bool XmlPixelsInRange(const TiXmlElement* element, const char* name, std::initializer_list<int> values);

// A colour "r,g,b[,a]" read from attribute name (an absent one reads as
// opaque black) into color when every component lies in 0..255; the first
// one outside is logged, color is left as it was and the result is false.
bool XmlColorAttribute(const TiXmlElement* element, const char* name, Lumo::Color* color);

// An attribute's text; "" when it is absent.
const char* XmlTextAttribute(const TiXmlElement* element, const char* name);
