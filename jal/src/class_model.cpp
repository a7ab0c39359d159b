#include "class_model.h"

#include "error.h"
#include "limits.h"
#include "messages.h"

namespace jal {

void ClassModel::setSourceFile(std::string_view name)
{
    sourceAttrName_ = pool_.addText("SourceFile");
    sourceName_ = pool_.addText(name);
}

void ClassModel::setClass(uint16_t flags, std::string_view name, std::string_view superName)
{
    thisClass_ = pool_.addClass(name);
    superClass_ = pool_.addClass(superName);
    flags_ = static_cast<uint16_t>(flags | 0x0020);
}

void ClassModel::addInterface(std::string_view name)
{
    if (interfaces_.size() >= limits::kInterfaces)
        throw TranslationError{msg::kTooManyInterfaces};
    interfaces_.push_back(pool_.addClass(name));
}

int ClassModel::memberRef(uint8_t refTag, std::string_view className, std::string_view name,
                          std::string_view descriptor)
{
    return pool_.addMemberRef(refTag, className.empty() ? thisClass_ : 0, className, name, descriptor);
}

int ClassModel::fieldRef(std::string_view className, std::string_view name, std::string_view descriptor)
{
    return memberRef(tag::kFieldref, className, name, descriptor);
}

int ClassModel::methodRef(std::string_view className, std::string_view name, std::string_view descriptor)
{
    return memberRef(tag::kMethodref, className, name, descriptor);
}

int ClassModel::interfaceMethodRef(std::string_view className, std::string_view name,
                                   std::string_view descriptor)
{
    return memberRef(tag::kInterfaceMethodref, className, name, descriptor);
}

void ClassModel::addField(uint16_t flags, std::string_view name, std::string_view descriptor)
{
    if (fields_.size() >= limits::kFields)
        throw TranslationError{msg::kTooManyFields};
    // The record points at the Utf8 entries that the name-and-type of the
    // field's own Fieldref appended just before it.
    int natIndex = pool_.addNameAndType(name, descriptor);
    pool_.addRef(tag::kFieldref, thisClass_, natIndex);
    fields_.push_back(FieldRecord{flags, natIndex - 2, natIndex - 1});
}

void ClassModel::addMethod(uint16_t flags, std::string_view name, std::string_view descriptor,
                           const Bytes& code, uint16_t maxStack, uint16_t maxLocals)
{
    if (methods_.size() >= limits::kMethods)
        throw TranslationError{msg::kTooManyMethods};
    int natIndex = pool_.addNameAndType(name, descriptor);
    pool_.addRef(tag::kMethodref, thisClass_, natIndex);
    MethodRecord m;
    m.codeNameIndex = pool_.addText("Code");
    m.flags = flags;
    m.nameIndex = natIndex - 2;
    m.descriptorIndex = natIndex - 1;
    m.maxStack = maxStack;
    m.maxLocals = maxLocals;
    m.code = code;
    methods_.push_back(std::move(m));
}

} // namespace jal
