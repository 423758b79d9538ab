#include "theme/ThemeXml.h"

namespace Orvanel {
namespace Window {

rapidxml::xml_node<char>* CThemeXml::CreateNode(rapidxml::xml_document<char>& doc, const char* name,
                                                const char* value) const {
    char* ownName = doc.allocate_string(name ? name : "");
    char* ownValue = doc.allocate_string(value ? value : "");
    return doc.allocate_node(rapidxml::node_element, ownName, ownValue);
}

} // namespace Window
} // namespace Orvanel
