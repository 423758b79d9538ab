#pragma once

#include <rapidxml/rapidxml.hpp>

namespace Orvanel {
namespace Window {

// Something that persists itself as a child element of a settings XML tree.
//
// There is deliberately no virtual destructor: the vtable holds exactly LoadXML and SaveXML, in
// that order, because that is the layout the host expects of this interface. The destructor is
// protected instead, so nobody can delete an object through this base.
class CThemeXml {
public:
    virtual void LoadXML(rapidxml::xml_node<char>* node) = 0;
    virtual void SaveXML(rapidxml::xml_document<char>& doc, rapidxml::xml_node<char>* parent) = 0;

    // New element node owned by doc. Name and value are copied into the document's pool, so the
    // node stays valid after the caller's strings are gone (rapidxml itself only keeps pointers).
    // A null name or value counts as empty.
    rapidxml::xml_node<char>* CreateNode(rapidxml::xml_document<char>& doc, const char* name,
                                         const char* value) const;

protected:
    CThemeXml() = default;
    CThemeXml(const CThemeXml&) = default;
    CThemeXml& operator=(const CThemeXml&) = default;
    ~CThemeXml() = default;
};

} // namespace Window
} // namespace Orvanel
