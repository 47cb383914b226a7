#include "LdapObjects.h"

#include "DirectoryName.h"
#include "LdapName.h"
#include "LdapValues.h"
#include "ObjectRecordWriter.h"
#include "ReplyEncoding.h"
#include "nwnet.h"

namespace nw {

namespace {

struct Attribute {
    std::string name;
    std::uint32_t syntax = 0;
    WireValues values;
};

// What the directory does not show as attributes: the naming values (they are the name),
// the password, and what only describes the entry.
bool hidden(std::string_view attribute, const std::vector<std::string>& namingTypes) {
    for (std::string_view name :
         {"objectClass", "structuralObjectClass", "hasSubordinates", "userPassword", "dc"})
        if (equalsIgnoreAsciiCase(attribute, name)) return true;
    for (const std::string& type : namingTypes)
        if (equalsIgnoreAsciiCase(attribute, type)) return true;
    return false;
}

// "Object Class": the base class first, then the other classes the entry has (mix-ins left
// out), ending with Top as the directory file's objects do.
Attribute classAttribute(const LdapObject& object, const std::vector<std::string>* classes,
                         const LdapSchema& schema) {
    std::vector<std::string> names{object.baseClass};
    for (const std::string& value : classes ? *classes : std::vector<std::string>{}) {
        if (schema.isAuxiliary(value)) continue;
        std::string name = schema.directoryClass(value);
        bool known = false;
        for (const std::string& have : names) known = known || equalsIgnoreAsciiCase(have, name);
        if (!known && !equalsIgnoreAsciiCase(name, "Top")) names.push_back(name);
    }
    names.push_back("Top");
    Attribute attribute{std::string(kObjectClassAttribute), SYN_CLASS_NAME, {}};
    for (const std::string& name : names) attribute.values.add(name);
    return attribute;
}

void addAttributes(ObjectRecordWriter& record, const LdapObject& object, const LdapEntry& entry,
                   std::string_view baseDn, const LdapSchema& schema) {
    std::vector<Attribute> attributes{
        classAttribute(object, valuesOf(entry, "objectClass"), schema)};
    std::vector<std::string> namingTypes;
    for (std::string_view part : splitStoredName(object.name))
        namingTypes.push_back(ldapNamingType(part.substr(0, part.find('='))));

    for (const auto& [ldapName, values] : entry.attributes) {
        if (hidden(ldapName, namingTypes)) continue;
        std::string name = schema.directoryAttribute(ldapName);
        std::uint32_t syntax = schema.syntaxOf(ldapName);
        // Subtypes holding the same directory attribute in the same syntax join it.
        Attribute* target = nullptr;
        for (Attribute& have : attributes)
            if (have.syntax == syntax && equalsIgnoreAsciiCase(have.name, name)) target = &have;
        if (target == nullptr) target = &attributes.emplace_back(Attribute{name, syntax, {}});
        for (const std::string& value : values) {
            // A value that does not have its syntax's form is left out, not misread.
            if (auto wire = wireValueOf(syntax, value, baseDn)) target->values.add(*wire);
        }
    }
    for (const Attribute& attribute : attributes)
        if (attribute.values.count() > 0)
            record.add(attribute.syntax, attribute.name, attribute.values);
}

}  // namespace

const std::vector<std::string>* valuesOf(const LdapEntry& entry, std::string_view name) {
    for (const auto& [attribute, values] : entry.attributes)
        if (equalsIgnoreAsciiCase(attribute, name)) return &values;
    return nullptr;
}

std::optional<LdapObject> objectOf(const LdapEntry& entry, std::string_view baseDn,
                                   const LdapSchema& schema, bool withAttributes) {
    auto name = fromDn(entry.dn, baseDn);
    if (!name || name->empty()) return std::nullopt;
    LdapObject object;
    object.name = std::move(*name);
    const auto* structural = valuesOf(entry, "structuralObjectClass");
    const auto* classes = valuesOf(entry, "objectClass");
    if (structural != nullptr && !structural->empty()) {
        object.baseClass = schema.directoryClass(structural->front());
    } else if (classes != nullptr) {
        for (const std::string& value : *classes)
            if (!schema.isAuxiliary(value) && !equalsIgnoreAsciiCase(value, "top")) {
                object.baseClass = schema.directoryClass(value);
                break;
            }
    }
    const auto* subordinates = valuesOf(entry, "hasSubordinates");
    object.hasSubordinates =
        subordinates != nullptr && !subordinates->empty() && subordinates->front() == "TRUE";
    object.container = object.hasSubordinates || isContainerClass(object.baseClass);
    ObjectRecordWriter record;
    record.begin(object.name, object.baseClass);
    if (withAttributes) addAttributes(record, object, entry, baseDn, schema);
    object.record = record.take();
    return object;
}

}  // namespace nw
