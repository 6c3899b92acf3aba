#include "text/script_engine.h"

#include "text/text_components.h"

#include <gtest/gtest.h>

#include <memory>

using namespace yejian::text;
namespace platform = yejian::platform;

namespace {

class ScriptEngineTest : public testing::Test {
protected:
    void SetUp() override
    {
        register_text_components();
        engine = platform::create_component_as<ScriptEngine>(script_engine_prog_id);
        ASSERT_TRUE(engine);
        ASSERT_TRUE(engine->Language("JavaScript"));
    }

    platform::ComponentScope scope;
    std::shared_ptr<ScriptEngine> engine;
};

TEST_F(ScriptEngineTest, RunsCodeAtGlobalScope)
{
    EXPECT_TRUE(engine->AddCode("function twice(x){\r\n\treturn 2*x;\r\n}"));
    EXPECT_EQ(engine->Eval("var da={}").kind(), ScriptValue::Kind::undefined);
    EXPECT_EQ(engine->Eval("da.n=twice(21)").as_number(), 42);
    EXPECT_EQ(engine->Eval("da.n").as_text(), "42");
    EXPECT_EQ(engine->Eval("var ary=''; for (var key in {a:1,b:2}) {ary=ary+ key+','; }").as_text(), "a,b,");
    EXPECT_EQ(engine->Eval("key").as_text(), "b");
}

TEST_F(ScriptEngineTest, FailuresGiveEmptyResults)
{
    EXPECT_FALSE(engine->AddCode("function ("));
    EXPECT_FALSE(engine->AddCode("throw 1"));
    for (const char* code : {"1+", "missing.member", "null.x", "throw 'x'"}) {
        ScriptValue value = engine->Eval(code);
        EXPECT_EQ(value.kind(), ScriptValue::Kind::failed) << code;
        EXPECT_EQ(value.as_text(), "") << code;
        EXPECT_EQ(value.as_number(), 0) << code;
        EXPECT_FALSE(value.as_truth()) << code;
    }
}

TEST_F(ScriptEngineTest, NothingRunsBeforeTheLanguageIsChosen)
{
    auto fresh = platform::create_component_as<ScriptEngine>(script_engine_prog_id);
    ASSERT_TRUE(fresh);
    EXPECT_FALSE(fresh->AddCode("var x=1"));
    EXPECT_EQ(fresh->Eval("1").kind(), ScriptValue::Kind::failed);
    EXPECT_FALSE(fresh->Language("VBScript"));
    EXPECT_TRUE(fresh->Language("jscript"));
    EXPECT_EQ(fresh->Eval("1").as_number(), 1);
}

TEST_F(ScriptEngineTest, EachEngineHasItsOwnHeap)
{
    engine->Eval("var shared=1");
    auto other = platform::create_component_as<ScriptEngine>(script_engine_prog_id);
    ASSERT_TRUE(other && other->Language("JavaScript"));
    EXPECT_EQ(other->Eval("typeof shared").as_text(), "undefined");
}

struct ReadingCase {
    const char* code;
    std::string text;
    double number;
    bool truth;
};

TEST_F(ScriptEngineTest, ResultsReadAsTextNumberAndTruth)
{
    const ReadingCase cases[] = {
        {"'abc'", "abc", 0, true},
        {"''", "", 0, false},
        {"' 12 '", " 12 ", 12, true},
        {"12345", "12345", 12345, true},
        {"987654321012345", "987654321012345", 987654321012345, true},
        {"-0", "0", 0, false},
        {"1.5", "1.5", 1.5, true},
        {"1e21", "1e+21", 1e21, true},
        {"0/0", "NaN", 0, false},
        {"true", "true", 1, true},
        {"false", "false", 0, false},
        {"undefined", "", 0, false},
        {"null", "", 0, false},
        {"[1,2]", "1,2", 0, true},
        {"({})", "[object Object]", 0, true},
        {"({toString:function(){throw 1}})", "", 0, true},
        {"'a\\u0000b'", "a", 0, true},
    };
    for (const auto& c : cases) {
        ScriptValue value = engine->Eval(c.code);
        EXPECT_EQ(value.as_text(), c.text) << c.code;
        EXPECT_EQ(value.as_number(), c.number) << c.code;
        EXPECT_EQ(value.as_truth(), c.truth) << c.code;
    }
}

TEST_F(ScriptEngineTest, CharactersBeyondTheBasicPlaneAreTwoUnitsInsideAndUtf8Outside)
{
    const std::string grinning = "\xF0\x9F\x98\x80";
    EXPECT_EQ(engine->Eval("'" + grinning + "'.length").as_number(), 2);
    EXPECT_EQ(engine->Eval("'" + grinning + "'").as_text(), grinning);
    EXPECT_EQ(engine->Eval("'\\ud83d\\ude00'").as_text(), grinning);
    EXPECT_EQ(engine->Eval("'\\ud83d'").as_text(), "\xEF\xBF\xBD");
    EXPECT_EQ(engine->Eval("'\xE9\xA3\x8E\xE6\x99\xAF'.length").as_number(), 2);
    EXPECT_EQ(engine->Eval("'\xE9\xA3\x8E\xE6\x99\xAF'").as_text(), "\xE9\xA3\x8E\xE6\x99\xAF");
}

TEST_F(ScriptEngineTest, CodeEndsAtItsFirstZeroCharacter)
{
    EXPECT_EQ(engine->Eval(std::string("1+1\0; throw 1", 13)).as_number(), 2);
}

TEST_F(ScriptEngineTest, AssignJsonParsesDataWithoutRunningIt)
{
    EXPECT_TRUE(engine->AssignJson("doc", R"({"a":{"b":[1,"x"]}})"));
    EXPECT_EQ(engine->Eval("doc.a.b[1]").as_text(), "x");

    engine->Eval("var ran=0");
    for (const char* hostile : {"(function(){ran=1;while(1){}})()", "ran=1", "{a:1}", "'single'", "", "[1,]"}) {
        EXPECT_FALSE(engine->AssignJson("doc", hostile)) << hostile;
        EXPECT_EQ(engine->Eval("doc.a.b[0]").as_number(), 1) << "document kept after " << hostile;
    }
    EXPECT_EQ(engine->Eval("ran").as_number(), 0);
    EXPECT_TRUE(engine->AssignJson("doc", "\"ran=1\""));
    EXPECT_EQ(engine->Eval("doc").as_text(), "ran=1");
    EXPECT_EQ(engine->Eval("ran").as_number(), 0);
}

TEST(ScriptEngineComponent, UnavailableEngineIsNotCreated)
{
    register_text_components();
    platform::ComponentScope scope;
    platform::set_component_available(script_engine_prog_id, false);
    EXPECT_FALSE(platform::create_component_as<ScriptEngine>(script_engine_prog_id));
    platform::set_component_available(script_engine_prog_id, true);
    EXPECT_TRUE(platform::create_component_as<ScriptEngine>(script_engine_prog_id));
}

} // namespace
