#include "class_writer.h"

namespace jal {

Bytes classFileBytes(const ClassModel& cls)
{
    Bytes out;
    put4(out, 0xCAFEBABE);
    put2(out, 3);  // minor version
    put2(out, 45); // major version

    const ConstantPool& pool = cls.pool();
    put2(out, static_cast<uint32_t>(pool.count()));
    out.insert(out.end(), pool.bytes().begin(), pool.bytes().end());

    put2(out, cls.flags());
    put2(out, static_cast<uint32_t>(cls.thisClass()));
    put2(out, static_cast<uint32_t>(cls.superClass()));

    put2(out, static_cast<uint32_t>(cls.interfaces().size()));
    for (int index : cls.interfaces())
        put2(out, static_cast<uint32_t>(index));

    put2(out, static_cast<uint32_t>(cls.fields().size()));
    for (const FieldRecord& f : cls.fields()) {
        put2(out, f.flags);
        put2(out, static_cast<uint32_t>(f.nameIndex));
        put2(out, static_cast<uint32_t>(f.descriptorIndex));
        put2(out, 0); // attributes
    }

    put2(out, static_cast<uint32_t>(cls.methods().size()));
    for (const MethodRecord& m : cls.methods()) {
        const uint32_t codeLength = static_cast<uint32_t>(m.code.size());
        put2(out, m.flags);
        put2(out, static_cast<uint32_t>(m.nameIndex));
        put2(out, static_cast<uint32_t>(m.descriptorIndex));
        put2(out, 1); // attributes: Code
        put2(out, static_cast<uint32_t>(m.codeNameIndex));
        // Stack, locals, code length, exception table length and
        // attribute count make the 12 bytes around the code.
        put4(out, codeLength + 12);
        put2(out, m.maxStack);
        put2(out, m.maxLocals);
        put4(out, codeLength);
        out.insert(out.end(), m.code.begin(), m.code.end());
        put2(out, 0); // exception table
        put2(out, 0); // attributes
    }

    put2(out, 1); // class attributes: SourceFile
    put2(out, static_cast<uint32_t>(cls.sourceAttrName()));
    put4(out, 2);
    put2(out, static_cast<uint32_t>(cls.sourceName()));
    return out;
}

} // namespace jal
