# Writes INPUT as a byte array so that any text, quotes and non-ASCII included, survives exactly.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "#include \"res/EmbeddedResources.h\"\n\nnamespace {\nconst unsigned char kMessages[] = {\n${bytes}0x00};\n}\n\n"
  "std::string_view Vellmar::Resources::EmbeddedMessagesXml() {\n"
  "    return {reinterpret_cast<const char*>(kMessages), ${size}};\n}\n")
