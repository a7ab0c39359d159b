// The class being built: constant pool, header, interfaces, fields and
// methods, in the order the source gives them.
#pragma once

#include "bytes.h"
#include "constant_pool.h"

#include <string_view>
#include <vector>

namespace jal {

struct FieldRecord {
    uint16_t flags = 0;
    int nameIndex = 0;
    int descriptorIndex = 0;
};

struct MethodRecord {
    uint16_t flags = 0;
    int nameIndex = 0;
    int descriptorIndex = 0;
    int codeNameIndex = 0; // Utf8 "Code"
    uint16_t maxStack = 0;
    uint16_t maxLocals = 0;
    Bytes code;
};

class ClassModel {
public:
    // Utf8 "SourceFile", Utf8 name.
    void setSourceFile(std::string_view name);
    // Class for the name (this class), Class for the super name.  The
    // flags get 0x0020 added, as every class file of this kind has it.
    void setClass(uint16_t flags, std::string_view name, std::string_view superName);
    void addInterface(std::string_view name);
    void addField(uint16_t flags, std::string_view name, std::string_view descriptor);
    void addMethod(uint16_t flags, std::string_view name, std::string_view descriptor,
                   const Bytes& code, uint16_t maxStack, uint16_t maxLocals);

    // Member references; an empty class name means this class.
    int fieldRef(std::string_view className, std::string_view name, std::string_view descriptor);
    int methodRef(std::string_view className, std::string_view name, std::string_view descriptor);
    int interfaceMethodRef(std::string_view className, std::string_view name, std::string_view descriptor);

    ConstantPool& pool() { return pool_; }
    const ConstantPool& pool() const { return pool_; }
    uint16_t flags() const { return flags_; }
    int thisClass() const { return thisClass_; }
    int superClass() const { return superClass_; }
    int sourceAttrName() const { return sourceAttrName_; }
    int sourceName() const { return sourceName_; }
    const std::vector<int>& interfaces() const { return interfaces_; }
    const std::vector<FieldRecord>& fields() const { return fields_; }
    const std::vector<MethodRecord>& methods() const { return methods_; }

private:
    int memberRef(uint8_t refTag, std::string_view className, std::string_view name,
                  std::string_view descriptor);

    ConstantPool pool_;
    uint16_t flags_ = 0;
    int thisClass_ = 0;
    int superClass_ = 0;
    int sourceAttrName_ = 0;
    int sourceName_ = 0;
    std::vector<int> interfaces_;
    std::vector<FieldRecord> fields_;
    std::vector<MethodRecord> methods_;
};

} // namespace jal
