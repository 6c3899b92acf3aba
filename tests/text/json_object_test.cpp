#include "text/json_object.h"

#include "platform/components.h"
#include "text/script_engine.h"
#include "text/text_components.h"

#include <gtest/gtest.h>

using namespace yejian::text;
namespace platform = yejian::platform;

namespace {

class JsonObjectTest : public testing::Test {
protected:
    void SetUp() override { json.init(); }

    // The type of a global in the object's engine, read through the document: answers must
    // never reach the engine's globals.
    std::string type_of_global(const std::string& name)
    {
        json.reset(JsonObject::reset_to_object);
        json.set_raw("probe", "typeof " + name);
        return json.get_text("probe");
    }

    JsonObject json;
};

TEST_F(JsonObjectTest, ReadsAnswersByPath)
{
    ASSERT_TRUE(json.parse(R"({"user":{"urlname":"abc","id":12345,"n":987654321,
        "pin":123456789012345,"boards":[{"title":"a"},{"title":"b"},{"title":"c"}]}})"));
    EXPECT_EQ(json.get_text("user.urlname"), "abc");
    EXPECT_EQ(json.get_text("user.urlname", true), "\"abc\"");
    EXPECT_EQ(json.get_number("user.id"), 12345);
    EXPECT_EQ(json.get_text("user.n"), "987654321");
    EXPECT_EQ(json.get_text("user.pin"), "123456789012345");
    EXPECT_EQ(json.get_text("user.boards[" + std::to_string(2) + "].title"), "c");
    EXPECT_EQ(json.member_count("user.boards"), 3);
    EXPECT_EQ(json.member_count(), 1);

    EXPECT_EQ(json.get_number("user.missing"), 0);
    EXPECT_EQ(json.get_text("user.missing"), "");
    EXPECT_EQ(json.get_text("missing.member"), "");
    EXPECT_EQ(json.get_number("missing.member"), 0);
    EXPECT_EQ(json.member_count("user.missing"), -2);
    EXPECT_EQ(json.member_count("missing.member"), 0);
    EXPECT_EQ(json.get_text(""), ""); // "da." does not compile
}

TEST_F(JsonObjectTest, PathStartingWithIndexJoinsWithoutDot)
{
    ASSERT_TRUE(json.parse(R"([{"title":"first"},{"title":"second"}])"));
    EXPECT_EQ(json.get_text("[0].title"), "first");
    EXPECT_EQ(json.get_text("[1].title"), "second");
    EXPECT_EQ(json.member_count(), 2);
}

TEST_F(JsonObjectTest, ParseResultFollowsTheDocument)
{
    struct Case {
        const char* text;
        bool parsed;
    };
    const Case cases[] = {
        {"[]", true},  {"{}", true},      {"0", true},       {"true", true},      {"\"abc\"", true},
        {"", false},   {"null", false},   {"{a:1}", false},  {"{'a':1}", false},  {"[1,]", false},
        {"{", false},  {"undefined", false}, {"not json", false}, {"[1] [2]", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(json.parse(c.text), c.parsed) << c.text;
}

TEST_F(JsonObjectTest, FailedParseLeavesNullDocument)
{
    ASSERT_TRUE(json.parse(R"({"boards":[1,2,3],"id":7})"));
    EXPECT_FALSE(json.parse("<html>busy</html>"));
    EXPECT_EQ(json.get_text("id"), "");
    EXPECT_EQ(json.get_number("id"), 0);
    EXPECT_EQ(json.member_count("boards"), 0);
    EXPECT_EQ(json.member_count(), -2);
    EXPECT_EQ(json.to_json(), "null");
}

TEST_F(JsonObjectTest, JsonStringBecomesTheDocument)
{
    ASSERT_TRUE(json.parse("\"abc\""));
    EXPECT_EQ(json.type_of(), JsonObject::type_string);
    EXPECT_EQ(json.to_json(), "\"abc\"");
    EXPECT_EQ(json.get_number("length"), 3);
}

TEST_F(JsonObjectTest, HostileAnswersAreNeverRun)
{
    const std::string hostile[] = {
        "(function(){while(1){}})()",
        "(function(){x=1})()",
        "this.x=1",
        "x=1,{\"a\":1}",
        "\"this.x=1\"", // a JSON string: the document, not code
    };
    for (const auto& text : hostile) {
        json.parse(text);
        EXPECT_EQ(type_of_global("x"), "undefined") << text;
    }
    EXPECT_FALSE(json.parse("this.x=1"));
    EXPECT_TRUE(json.parse("\"this.x=1\""));
    EXPECT_EQ(json.to_json(), "\"this.x=1\"");
}

TEST_F(JsonObjectTest, DeeplyNestedAnswerIsRefused)
{
    const int depth = 100000;
    const std::string nested = std::string(depth, '[') + std::string(depth, ']');
    EXPECT_FALSE(json.parse(nested));
    EXPECT_EQ(json.type_of(), JsonObject::type_null);
    // Nesting the parser takes is still read and written without exhausting the stack.
    const int taken = 900;
    ASSERT_TRUE(json.parse(std::string(taken, '[') + std::string(taken, ']')));
    EXPECT_EQ(json.to_json(), std::string(taken, '[') + std::string(taken, ']'));
    EXPECT_EQ(json.get_text("[0]"), "");
    EXPECT_EQ(json.member_count(), 1);
}

TEST_F(JsonObjectTest, HugeAnswersParseAsData)
{
    const std::size_t size = 50u << 20;
    EXPECT_TRUE(json.parse("\"" + std::string(size, 'a') + "\""));
    EXPECT_EQ(json.get_number("length"), static_cast<double>(size));
    EXPECT_FALSE(json.parse(std::string(size, 'a')));
    EXPECT_EQ(json.type_of(), JsonObject::type_null);
}

TEST_F(JsonObjectTest, TextsKeepChineseAndEmoji)
{
    const std::string scenery = "\xE9\xA3\x8E\xE6\x99\xAF\xF0\x9F\x98\x80"; // 风景 and an emoji
    ASSERT_TRUE(json.parse("{\"t\":\"" + scenery + "\",\"e\":\"\\u4e2d\\ud83d\\ude00\"}"));
    EXPECT_EQ(json.get_text("t"), scenery);
    EXPECT_EQ(json.get_text("t", true), "\"" + scenery + "\"");
    EXPECT_EQ(json.get_number("t.length"), 4); // the emoji is two UTF-16 units inside
    EXPECT_EQ(json.get_text("e"), "\xE4\xB8\xAD\xF0\x9F\x98\x80");
    json.set_text("u", scenery);
    EXPECT_EQ(json.get_text("u"), scenery);
    EXPECT_EQ(json.to_json(), "{\"t\":\"" + scenery + "\",\"e\":\"\xE4\xB8\xAD\xF0\x9F\x98\x80\",\"u\":\"" + scenery + "\"}");
}

TEST_F(JsonObjectTest, QuotedValueWithApostropheLeavesDocumentUnchanged)
{
    ASSERT_TRUE(json.parse(R"({"a":"b"})"));
    json.set_text("a", "it's");
    EXPECT_EQ(json.get_text("a"), "b");
    json.set_text("a", "two\nlines");
    EXPECT_EQ(json.to_json(), R"({"a":"b"})");
}

TEST_F(JsonObjectTest, BuildingOperationsWriteTheirStatements)
{
    json.set_text("s", "text");
    json.set_text("o", R"({"k":[1,2]})", true);
    json.set_text("e", "", true);
    json.set_raw("r", "1+2");
    json.set_number("n", 1.0 / 3);
    json.set_number("big", 12345678901234.0);
    EXPECT_EQ(json.to_json(),
              R"({"s":"text","o":{"k":[1,2]},"e":{},"r":3,"n":0.3333333333333,"big":12345678901230})");
    EXPECT_EQ(json.get_json("o"), R"({"k":[1,2]})");
    EXPECT_TRUE(json.has_member("o.k"));
    EXPECT_FALSE(json.has_member("missing"));
    EXPECT_FALSE(json.has_member("missing.member"));
    json.remove("o");
    EXPECT_FALSE(json.has_member("o"));

    json.append("x", "missing"); // "missing.map" fails: nothing changes
    EXPECT_FALSE(json.has_member("missing"));
    json.set_text("list", "not a list");
    json.append("x", "list");
    json.append("2", "list", true);
    EXPECT_EQ(json.get_json("list"), R"(["x",2])");
    EXPECT_EQ(json.get_element(0, "list"), "x");
    EXPECT_EQ(json.get_element(1, "list", true), "2");
    EXPECT_EQ(json.get_element(5, "list"), "");

    json.reset(JsonObject::reset_to_array);
    json.append("a");
    json.set_element(1, "b");
    json.set_element(2, "[3]", true);
    EXPECT_EQ(json.to_json(), R"(["a","b",[3]])");
    json.remove_element(0);
    EXPECT_EQ(json.to_json(), R"(["b",[3]])");

    json.assign("word");
    EXPECT_EQ(json.to_json(), "\"word\"");
    json.assign("[1]", true);
    EXPECT_EQ(json.to_json(), "[1]");
    json.clear();
    EXPECT_EQ(json.to_json(), "{}");
}

TEST_F(JsonObjectTest, MemberNamesIncludeTheInheritedOnes)
{
    ASSERT_TRUE(json.parse(R"({"a":1,"b":{"c":[7]}})"));
    std::vector<std::string> names = {"stale"};
    json.member_names(names);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "toJSONString", "parseJSON"}));
    json.member_names(names, "b.c");
    EXPECT_EQ(names, (std::vector<std::string>{"0", "toJSONString", "parseJSON"}));
    json.member_names(names, "missing");
    EXPECT_TRUE(names.empty());
}

TEST_F(JsonObjectTest, TypeOfAndReset)
{
    ASSERT_TRUE(json.parse(R"({"s":"x","n":1,"o":{},"a":[],"z":null,"t":true})"));
    EXPECT_EQ(json.type_of("s"), JsonObject::type_string);
    EXPECT_EQ(json.type_of("n"), JsonObject::type_number);
    EXPECT_EQ(json.type_of("o"), JsonObject::type_without_map);
    EXPECT_EQ(json.type_of("a"), JsonObject::type_with_map);
    EXPECT_EQ(json.type_of("z"), JsonObject::type_null);
    EXPECT_EQ(json.type_of("missing"), JsonObject::type_null);
    EXPECT_EQ(json.type_of("t"), JsonObject::type_other);
    EXPECT_EQ(json.type_of(), JsonObject::type_without_map);

    const std::string before = json.to_json();
    json.reset(3);
    EXPECT_EQ(json.to_json(), before);
    json.reset(JsonObject::reset_to_array);
    EXPECT_EQ(json.to_json(), "[]");
    json.reset(JsonObject::reset_to_object);
    EXPECT_EQ(json.to_json(), "{}");
    json.reset(JsonObject::reset_to_null);
    EXPECT_EQ(json.type_of(), JsonObject::type_null);
}

TEST(JsonObjectLifecycle, CopySharesTheDocumentAndKeepsTheCountBalanced)
{
    const int depth = platform::component_init_depth();
    JsonObject json;
    json.init();
    EXPECT_EQ(platform::component_init_depth(), depth + 1);
    {
        JsonObject twin = json.copy();
        EXPECT_EQ(platform::component_init_depth(), depth + 2);
        twin.set_number("n", 7);
        EXPECT_EQ(json.get_number("n"), 7);
        twin.destroy();
        EXPECT_EQ(platform::component_init_depth(), depth + 1);
    }
    // The engine lives on with its last holder.
    EXPECT_EQ(json.get_number("n"), 7);
    json.destroy();
    EXPECT_EQ(platform::component_init_depth(), depth);
    json.destroy();
    EXPECT_EQ(platform::component_init_depth(), depth);
}

TEST(JsonObjectLifecycle, GetObjectHoldsASeparateDocument)
{
    const int depth = platform::component_init_depth();
    {
        JsonObject json;
        json.init();
        ASSERT_TRUE(json.parse(R"({"user":{"name":"x","boards":[1,2]}})"));
        JsonObject user = json.get_object("user");
        EXPECT_EQ(platform::component_init_depth(), depth + 2);
        EXPECT_EQ(user.get_text("name"), "x");
        EXPECT_EQ(user.member_count("boards"), 2);
        user.set_text("name", "y");
        EXPECT_EQ(user.get_text("name"), "y");
        EXPECT_EQ(json.get_text("user.name"), "x");

        JsonObject missing = json.get_object("nothing");
        EXPECT_EQ(missing.type_of(), JsonObject::type_null);
        JsonObject init_twice;
        init_twice.init();
        init_twice.init();
        EXPECT_EQ(platform::component_init_depth(), depth + 4);
    }
    EXPECT_EQ(platform::component_init_depth(), depth);
}

TEST(JsonObjectLifecycle, WithoutEngineEveryOperationIsEmpty)
{
    register_text_components();
    platform::set_component_available(script_engine_prog_id, false);
    const int depth = platform::component_init_depth();
    {
        JsonObject json;
        json.init();
        EXPECT_FALSE(json.parse(R"({"a":1})"));
        EXPECT_FALSE(json.parse("[]"));
        json.set_text("a", "x");
        EXPECT_EQ(json.get_text("a"), "");
        EXPECT_EQ(json.get_number("a"), 0);
        EXPECT_EQ(json.member_count(), 0);
        EXPECT_EQ(json.to_json(), "");
        EXPECT_EQ(json.get_json("a"), "");
        EXPECT_EQ(json.get_element(0), "");
        EXPECT_FALSE(json.has_member("a"));
        EXPECT_EQ(json.type_of(), JsonObject::type_null);
        std::vector<std::string> names = {"stale"};
        json.member_names(names);
        EXPECT_TRUE(names.empty());
        JsonObject part = json.get_object("a");
        EXPECT_EQ(part.get_text("a"), "");
        JsonObject twin = json.copy();
        EXPECT_FALSE(twin.parse("{}"));
    }
    EXPECT_EQ(platform::component_init_depth(), depth);
    platform::set_component_available(script_engine_prog_id, true);
}

} // namespace
