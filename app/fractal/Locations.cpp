#include "fractal/Locations.h"

#include "core/XML.h"

std::vector<CLocation> ReadLocations(const String& path)
{
    std::vector<CLocation> locations;
    CXMLDocument document;
    if (!document.Load(path))
        return locations;
    for (unsigned i = 0; i < document.GetChildCount(); ++i)
    {
        const CXMLNode* node = document.GetChild(i);
        CLocation location;
        location.name = node->GetAttributeString("name");
        location.iterations = node->GetAttributeInt("iterations");
        location.real = node->GetAttributeDouble("real");
        location.imaginary = node->GetAttributeDouble("imaginary");
        location.scale = node->GetAttributeDouble("scale");
        locations.push_back(location);
    }
    return locations;
}
