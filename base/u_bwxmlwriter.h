// Writes an XML document as the program's settings files are laid out: the
// declaration line, each tag pair or tag on a line of its own, CR LF line
// ends. The profile storage and the conversion of old registry settings
// write their files through it, so both give the same bytes.
#pragma once

#include <string>

#include <pugixml.hpp>

// The bytes of the file for the document: "<?xml version="1.0"
// encoding="UTF-8"?>", then the elements, every "><" split into two lines and
// every line ended by CR LF. An element without children is written as a
// start tag and an end tag, never as an empty-element tag. Text escapes
// exactly "&", "<", ">" and carriage return ("&amp;", "&lt;", "&gt;",
// "&#xD;"); attribute values also escape the double quote that delimits them.
// Comments and processing instructions of the document are not written.
std::string XmlFileText(const pugi::xml_document& document);

// Writes XmlFileText to fileName through a temporary file renamed over it.
// False when that fails; the old file is then left as it was. The folder
// must exist.
bool SaveXmlFile(const pugi::xml_document& document, const std::string& fileName);
