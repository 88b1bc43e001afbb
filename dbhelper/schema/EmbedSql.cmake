# Writes OUTPUT, a C++ file that returns the text of the SQL files as raw string
# literals: KvSchemaSqlText() = SCHEMA, KvSeedSqlText() = the SEEDS (a list,
# separated by "|", joined in the order given), KvSeedSqlText(name) = one seed
# by its file name without the extension.
#   cmake -DSCHEMA=<file> -DSEEDS=<file|file> -DOUTPUT=<file> -P EmbedSql.cmake

function(kv_raw_literal variable file)
    file(READ "${file}" text)
    string(FIND "${text}" ")KvSql\"" clash)
    if(NOT clash EQUAL -1)
        message(FATAL_ERROR "${file} holds the literal's end marker")
    endif()
    set(${variable} "R\"KvSql(${text})KvSql\"" PARENT_SCOPE)
endfunction()

kv_raw_literal(schema_literal "${SCHEMA}")
string(REPLACE "|" ";" SEEDS "${SEEDS}")
set(seed_literals "")
set(seed_entries "")
foreach(seed IN LISTS SEEDS)
    kv_raw_literal(literal "${seed}")
    string(APPEND seed_literals "\n        ${literal}\n        \"\\n\"")
    get_filename_component(seed_name "${seed}" NAME_WE)
    string(APPEND seed_entries "\n        {\"${seed_name}\", ${literal}},")
endforeach()
if(seed_literals STREQUAL "")
    set(seed_literals "\"\"")
endif()

set(content "// Generated from the SQL files of dbhelper/schema at build time; do not edit.
#include \"KvSchemaScripts.h\"

#include <cstring>

const char* KvSchemaSqlText()
{
    return ${schema_literal};
}

const char* KvSeedSqlText()
{
    return ${seed_literals};
}

const char* KvSeedSqlText(const char* name)
{
    static const struct
    {
        const char* name;
        const char* text;
    } seeds[] = {${seed_entries}
        {nullptr, nullptr}};
    for (const auto& seed : seeds)
        if (seed.name && std::strcmp(seed.name, name) == 0)
            return seed.text;
    return nullptr;
}
")

# Rewritten only when it changes, so that an unchanged script compiles nothing.
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" old)
    if(old STREQUAL content)
        return()
    endif()
endif()
file(WRITE "${OUTPUT}" "${content}")
