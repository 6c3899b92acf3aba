#include "text/json_support.h"

#include "text/script_engine.h"
#include "text/text_components.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

using namespace yejian::text;
namespace platform = yejian::platform;

namespace {

// `text` as a JavaScript string literal.
std::string literal(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// The support script on two engines: one with the engine's own JSON, and one from which JSON
// and Date.prototype.toJSON were removed first, so the script's own members stand in. Both
// must read and write JSON alike.
class JsonSupportTest : public testing::Test {
protected:
    void SetUp() override
    {
        register_text_components();
        native = make_engine("");
        fallback = make_engine("JSON = undefined; delete Date.prototype.toJSON;");
    }

    std::shared_ptr<ScriptEngine> make_engine(const std::string& before_support)
    {
        auto engine = platform::create_component_as<ScriptEngine>(script_engine_prog_id);
        EXPECT_TRUE(engine && engine->Language("JavaScript"));
        if (!before_support.empty()) {
            EXPECT_TRUE(engine->AddCode(before_support));
        }
        EXPECT_TRUE(engine->AddCode(json_support_script()));
        return engine;
    }

    platform::ComponentScope scope;
    std::shared_ptr<ScriptEngine> native;
    std::shared_ptr<ScriptEngine> fallback;
};

TEST_F(JsonSupportTest, FallbackStandsInOnlyWhereTheEngineLacksJson)
{
    EXPECT_NE(native->Eval("String(JSON.parse)").as_text().find("native code"), std::string::npos);
    EXPECT_EQ(fallback->Eval("String(JSON.parse)").as_text().find("native code"), std::string::npos);
    EXPECT_EQ(native->Eval("typeof String.prototype.toJSON").as_text(), "undefined");
    EXPECT_EQ(fallback->Eval("typeof String.prototype.toJSON").as_text(), "function");
}

TEST_F(JsonSupportTest, StringifyWritesAsTheEngineDoes)
{
    const std::pair<const char*, const char*> cases[] = {
        {R"({a:1,b:[true,false,null],c:"q\"b\\n\nt\tc\u0001s\u2028"})",
         R"({"a":1,"b":[true,false,null],"c":"q\"b\\n\nt\tc\u0001s\u2028"})"},
        {"[undefined, function(){}, NaN, -Infinity, -0, 1e21, 0.5]", "[null,null,null,null,0,1e+21,0.5]"},
        {"{u:undefined, f:function(){}, k:'\xE4\xB8\xAD\xF0\x9F\x98\x80'}", "{\"k\":\"\xE4\xB8\xAD\xF0\x9F\x98\x80\"}"},
        {"[new String('s'), new Number(2), new Boolean(false)]", R"(["s",2,false])"},
        {"new Date(Date.UTC(2024,0,2,3,4,5,6))", R"("2024-01-02T03:04:05.006Z")"},
        {"{toJSON:function(key){return 'key:'+key}}", R"("key:")"},
        {"'plain'", R"("plain")"},
        {"undefined", ""},
    };
    for (const auto& [value, expected] : cases) {
        const std::string code = std::string("JSON.stringify(") + value + ")";
        EXPECT_EQ(native->Eval(code).as_text(), expected) << value;
        EXPECT_EQ(fallback->Eval(code).as_text(), expected) << value;
    }
    // Each key once, even when the replacer list repeats it.
    EXPECT_EQ(fallback->Eval("JSON.stringify({a:1,b:2}, ['b','b'])").as_text(), R"({"b":2})");
}

TEST_F(JsonSupportTest, StringifyOptionsMatchTheEngine)
{
    const char* calls[] = {
        "JSON.stringify({a:{b:[1,{c:2}]},e:[],o:{}}, null, 2)",
        "JSON.stringify({a:[1]}, null, '\\t')",
        "JSON.stringify([1,[2]], null, 20)",
        "JSON.stringify([1], null, 'abcdefghijklmno')",
        "JSON.stringify({a:1,b:{a:2,c:3}}, function(k,v){return typeof v==='number'? v*10 : v})",
        "JSON.stringify({a:1,b:2,1:3,c:{b:4,d:5}}, ['b', 1, 'c'])",
        "(function(){var o={};o.self=o;try{JSON.stringify(o);return 'written'}catch(e){return e.name}})()",
        "({a:[1,'x']}).toJSONString()",
    };
    for (const char* call : calls) {
        const std::string expected = native->Eval(call).as_text();
        EXPECT_FALSE(expected.empty()) << call;
        EXPECT_EQ(fallback->Eval(call).as_text(), expected) << call;
    }
}

TEST_F(JsonSupportTest, ParseReadsAsTheEngineDoes)
{
    const char* texts[] = {
        R"( {"a" : [1, -2.5e3, 0, 1E2, true, false, null, "\u4e2d\n\"\/", {}], "b":{"c":""}} )",
        R"("\ud83d\ude00")",
        "[]",
        "-0",
        "\"\xE9\xA3\x8E\"",
    };
    for (const char* text : texts) {
        const std::string call = "JSON.stringify(JSON.parse(" + literal(text) + "))";
        const std::string expected = native->Eval(call).as_text();
        EXPECT_FALSE(expected.empty()) << text;
        EXPECT_EQ(fallback->Eval(call).as_text(), expected) << text;
    }
}

TEST_F(JsonSupportTest, ParseRefusesWhatIsNotJson)
{
    const char* texts[] = {
        "{a:1}", "[1,]", "01", "'x'", "", "[1] 2", "\"\t\"", "1.", ".5", "+1", "{\"a\":1,}", "\"\\x41\"",
        "tru", "nul", "\"open", "[", "{\"a\" 1}", "(function(){return 1})()",
    };
    for (const char* text : texts) {
        const std::string call =
            "(function(t){try{JSON.parse(t);return 'parsed'}catch(e){return e.name}})(" + literal(text) + ")";
        EXPECT_EQ(native->Eval(call).as_text(), "SyntaxError") << text;
        EXPECT_EQ(fallback->Eval(call).as_text(), "SyntaxError") << text;
    }
}

TEST_F(JsonSupportTest, ParseRevivesAndKeepsProtoAMember)
{
    const char* calls[] = {
        R"(JSON.stringify(JSON.parse('{"a":1,"b":[1,2],"c":{"d":3}}', function(k,v){return typeof v==='number'? v+1 : v})))",
        R"(JSON.stringify(JSON.parse('{"a":1,"b":2}', function(k,v){return k==='a'? undefined : v})))",
        R"(Object.getPrototypeOf(JSON.parse('{"__proto__":{"x":1}}')) === Object.prototype)",
        R"('[1,2]'.parseJSON()[1])",
    };
    for (const char* call : calls) {
        const std::string expected = native->Eval(call).as_text();
        EXPECT_FALSE(expected.empty()) << call;
        EXPECT_EQ(fallback->Eval(call).as_text(), expected) << call;
    }
}

TEST_F(JsonSupportTest, CounterCancelsTheTwoInheritedMembers)
{
    for (auto& engine : {native, fallback}) {
        EXPECT_EQ(engine->Eval("get__count([4,5,6])").as_number(), 3);
        EXPECT_EQ(engine->Eval("get__count({a:1,b:2})").as_number(), 2);
        EXPECT_EQ(engine->Eval("get__count(null)").as_number(), -2);
        EXPECT_EQ(engine->Eval("get__count(undefined)").as_number(), -2);
    }
}

} // namespace
