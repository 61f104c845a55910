#pragma once

#include <tinyxml.h>

#include <cstdint>
#include <string>

// Every data file of the game is read through LoadXmlDocument: the archive
// layer first, then the disk.

// Parses the whole file into document. A file that cannot be opened or read,
// or that does not parse, leaves the document empty (no root element) and
// gives false; the caller logs its own error for the missing root.
bool LoadXmlDocument(const std::string& path, TiXmlDocument& document);

// The child elements of element whose tag is name; 0 for a null element.
int XmlCountChildElements(const TiXmlElement* element, const char* name);

// The first "window" child of parent whose "name" attribute is exactly name.
const TiXmlElement* XmlFindWindowByName(const TiXmlElement* parent, const std::string& name);

// An attribute read as atoi / atof would read it; fallback when it is absent.
int32_t XmlIntAttribute(const TiXmlElement* element, const char* name, int32_t fallback);
float XmlFloatAttribute(const TiXmlElement* element, const char* name, float fallback);
// An attribute's text; "" when it is absent.
const char* XmlTextAttribute(const TiXmlElement* element, const char* name);
