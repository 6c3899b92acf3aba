#pragma once
// JsonObject: reads (and can build) a JSON document that lives inside a script engine as one
// global variable, "da". Each operation builds a short JavaScript text from that name and a
// path such as "user.urlname" or "boards[2].title", hands it to the engine, and reads the
// answer as a text, a number or a truth value. Paths and values are inserted verbatim: they
// come from the program itself. The one text that comes from outside, an answer given to
// `parse`, is handed over as data and read by the engine's strict JSON parser, never run.
//
// Failures raise nothing: a statement the engine rejects does nothing, and a read gives its
// empty result (the empty text, 0, false). Without an engine (the component unavailable) every
// operation gives its empty result and `parse` returns false.
//
// Lifecycle: construct, `init`, use, `destroy` (the destructor destroys an object still live).
// An object belongs to the thread that initialised it and holds at most one component
// initialisation of that thread, given back by `destroy`.

#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace yejian::text {

class ScriptEngine;
class ScriptValue;

class JsonObject {
public:
    // Codes `reset` takes.
    static constexpr int reset_to_null = 0;
    static constexpr int reset_to_object = 4;
    static constexpr int reset_to_array = 5;
    // Codes `type_of` gives. They are a table of their own: `type_of` tells objects and arrays
    // apart by a member named map, which arrays have, so an array gives 4 and an object 5 (the
    // reverse of what `reset` makes from those codes).
    static constexpr int type_null = 0;
    static constexpr int type_number = 2;
    static constexpr int type_with_map = 4;
    static constexpr int type_without_map = 5;
    static constexpr int type_string = 6;
    static constexpr int type_other = -1;

    explicit JsonObject(std::string variable_name = "da");
    ~JsonObject();
    JsonObject(JsonObject&& other) noexcept;
    JsonObject& operator=(JsonObject&& other) noexcept;
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    // The operations, in the order of the class's table.

    // Drops this object's share of the engine and its hold on the thread's component
    // initialisation.
    void destroy();
    // A second object on the same engine, so both see and change one document. It takes a
    // component initialisation of its own on this thread (when this object holds one), which
    // its `destroy` gives back, so copies leave the thread's count as they found it.
    JsonObject copy() const;
    // Takes one component initialisation on the calling thread, creates the engine, loads the
    // support script and starts with an empty object as the document.
    void init();
    // Makes the document null, then the value of `text` read as JSON. True when the document
    // is then neither null nor undefined: "[]", a number, true and a JSON string count.
    bool parse(std::string_view text);
    std::string to_json();
    void clear();
    void set_text(std::string_view path, std::string_view value, bool as_json = false);
    void set_raw(std::string_view path, std::string_view value);
    void set_number(std::string_view path, double number);
    double get_number(std::string_view path);
    std::string get_json(std::string_view path);
    std::string get_text(std::string_view path, bool as_json = false);
    // A new object whose document is a copy of the value at `path`, in an engine of its own.
    JsonObject get_object(std::string_view path);
    void remove(std::string_view path);
    // Elements of an array, members of an object; -2 when the value is missing or null, 0 when
    // the path cannot be read.
    int member_count(std::string_view path = {});
    void append(std::string_view value, std::string_view path = {}, bool raw = false);
    std::string get_element(int index, std::string_view path = {}, bool as_json = false);
    void set_element(int index, std::string_view value, bool raw = false);
    void remove_element(int index);
    void reset(int type_code);
    void assign(std::string_view value, bool raw = false);
    bool has_member(std::string_view path);
    // Replaces `names` with the names a for-in loop visits, inherited ones included.
    void member_names(std::vector<std::string>& names, std::string_view path = {});
    int type_of(std::string_view path = {});

private:
    ScriptValue eval(const std::string& code);
    std::string member_path(std::string_view path) const;    // joins an index path directly
    std::string whole_or_member(std::string_view path) const; // the document for an empty path
    std::string member(std::string_view path) const;          // always name + "." + path
    void take_thread_initialisation();

    std::shared_ptr<ScriptEngine> engine_;
    std::string variable_name_;
    bool holds_initialisation_ = false;
    std::thread::id thread_;
};

} // namespace yejian::text
