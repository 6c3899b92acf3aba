// Support script of the JSON object, loaded into every script engine before its first document.
// It is written for old engines too (no ES5 library functions): on an engine that already has
// JSON, Date.prototype.toJSON or Object.prototype.toJSONString, the engine's own members stay.

// The number of members a for-in loop visits in c, less the two (toJSONString and parseJSON)
// that every object and array inherits from Object.prototype below: n for an array of n
// elements, m for an object of m members, -2 for undefined or null.
function get__count(c){
	var i=-2;
	for (v in c) i++;
	return i;
}

var JSON;
if (typeof JSON !== 'object' || JSON === null) {
    JSON = {};
}

(function () {
    var hasOwn = Object.prototype.hasOwnProperty;
    var classOf = Object.prototype.toString;

    function isArray(value) {
        return classOf.call(value) === '[object Array]';
    }

    function twoDigits(n) {
        return (n < 10 ? '0' : '') + n;
    }

    function threeDigits(n) {
        return (n < 10 ? '00' : n < 100 ? '0' : '') + n;
    }

    // Dates in UTC as ISO 8601 with milliseconds and a final Z, the form engines with JSON of
    // their own produce, so a document reads the same on either; primitives' wrappers give
    // their primitive value.
    if (typeof Date.prototype.toJSON !== 'function') {
        Date.prototype.toJSON = function () {
            if (!isFinite(this.valueOf())) {
                return null;
            }
            return this.getUTCFullYear() + '-' + twoDigits(this.getUTCMonth() + 1) + '-' +
                twoDigits(this.getUTCDate()) + 'T' + twoDigits(this.getUTCHours()) + ':' +
                twoDigits(this.getUTCMinutes()) + ':' + twoDigits(this.getUTCSeconds()) + '.' +
                threeDigits(this.getUTCMilliseconds()) + 'Z';
        };
        String.prototype.toJSON = function () {
            return this.valueOf();
        };
        Number.prototype.toJSON = function () {
            return this.valueOf();
        };
        Boolean.prototype.toJSON = function () {
            return this.valueOf();
        };
    }

    // Writing ---------------------------------------------------------------------------------

    var shortEscapes = {
        '"': '\\"',
        '\\': '\\\\',
        '\b': '\\b',
        '\f': '\\f',
        '\n': '\\n',
        '\r': '\\r',
        '\t': '\\t'
    };

    // A string as a JSON string: quotes, backslashes and control characters escaped, and the
    // two line separators U+2028/U+2029 too, so the text is also valid script source.
    function quote(text) {
        var pieces = [], runStart = 0, i, c, code;
        for (i = 0; i < text.length; i += 1) {
            c = text.charAt(i);
            code = text.charCodeAt(i);
            if (code < 0x20 || c === '"' || c === '\\' || code === 0x2028 || code === 0x2029) {
                pieces.push(text.substring(runStart, i));
                pieces.push(hasOwn.call(shortEscapes, c) ? shortEscapes[c] :
                    '\\u' + ('000' + code.toString(16)).slice(-4));
                runStart = i + 1;
            }
        }
        pieces.push(text.substring(runStart));
        return '"' + pieces.join('') + '"';
    }

    function ownKeys(object) {
        var keys = [], key;
        for (key in object) {
            if (hasOwn.call(object, key)) {
                keys.push(key);
            }
        }
        return keys;
    }

    // The JSON text of holder[key], or undefined when the value has none (functions,
    // undefined). `open` holds the objects being written, to refuse cycles.
    function write(holder, key, settings, indent, open) {
        var value = holder[key], wrapper, i, inner, parts, keys, member, result;

        if (value !== null && typeof value === 'object' && typeof value.toJSON === 'function') {
            value = value.toJSON(key);
        }
        if (typeof settings.replacer === 'function') {
            value = settings.replacer.call(holder, key, value);
        }
        if (value !== null && typeof value === 'object') {
            wrapper = classOf.call(value);
            if (wrapper === '[object Number]') {
                value = Number(value);
            } else if (wrapper === '[object String]') {
                value = String(value);
            } else if (wrapper === '[object Boolean]') {
                value = value.valueOf();
            }
        }

        switch (typeof value) {
        case 'string':
            return quote(value);
        case 'number':
            return isFinite(value) ? String(value) : 'null';
        case 'boolean':
            return String(value);
        case 'object':
            break;
        default:
            return undefined;
        }
        if (value === null) {
            return 'null';
        }
        for (i = 0; i < open.length; i += 1) {
            if (open[i] === value) {
                throw new TypeError('JSON.stringify: the value refers to itself');
            }
        }
        open.push(value);
        inner = indent + settings.gap;
        parts = [];
        if (isArray(value)) {
            for (i = 0; i < value.length; i += 1) {
                member = write(value, String(i), settings, inner, open);
                parts.push(member === undefined ? 'null' : member);
            }
            result = wrap('[', parts, ']', settings.gap, indent, inner);
        } else {
            keys = settings.allowedKeys || ownKeys(value);
            for (i = 0; i < keys.length; i += 1) {
                member = write(value, keys[i], settings, inner, open);
                if (member !== undefined) {
                    parts.push(quote(keys[i]) + (settings.gap ? ': ' : ':') + member);
                }
            }
            result = wrap('{', parts, '}', settings.gap, indent, inner);
        }
        open.pop();
        return result;
    }

    function wrap(opening, parts, closing, gap, indent, inner) {
        if (parts.length === 0) {
            return opening + closing;
        }
        if (!gap) {
            return opening + parts.join(',') + closing;
        }
        return opening + '\n' + inner + parts.join(',\n' + inner) + '\n' + indent + closing;
    }

    // The keys a replacer array allows: its strings and numbers, each once, in order.
    function allowedKeysOf(list) {
        var keys = [], seen = {}, i, item, name;
        for (i = 0; i < list.length; i += 1) {
            item = list[i];
            if (typeof item === 'string' || typeof item === 'number' ||
                    classOf.call(item) === '[object String]' || classOf.call(item) === '[object Number]') {
                name = String(item);
                if (!hasOwn.call(seen, '#' + name)) {
                    seen['#' + name] = true;
                    keys.push(name);
                }
            }
        }
        return keys;
    }

    function gapOf(space) {
        var count, gap = '';
        if (classOf.call(space) === '[object Number]') {
            count = Math.min(10, Math.floor(Number(space)));
            while (gap.length < count) {
                gap += ' ';
            }
            return gap;
        }
        if (classOf.call(space) === '[object String]') {
            return String(space).substring(0, 10);
        }
        return '';
    }

    if (typeof JSON.stringify !== 'function') {
        JSON.stringify = function (value, replacer, space) {
            var settings = { replacer: undefined, allowedKeys: undefined, gap: gapOf(space) };
            if (typeof replacer === 'function') {
                settings.replacer = replacer;
            } else if (isArray(replacer)) {
                settings.allowedKeys = allowedKeysOf(replacer);
            }
            return write({ '': value }, '', settings, '', []);
        };
    }

    // Reading ---------------------------------------------------------------------------------

    var escapedCharacters = {
        '"': '"',
        '\\': '\\',
        '/': '/',
        'b': '\b',
        'f': '\f',
        'n': '\n',
        'r': '\r',
        't': '\t'
    };

    // A strict reader of the JSON grammar: nothing in the text is ever run as code.
    function read(text) {
        var at = 0;

        function fail(what) {
            throw new SyntaxError('JSON.parse: ' + what + ' at position ' + at);
        }

        function skipWhitespace() {
            var c;
            while (at < text.length) {
                c = text.charAt(at);
                if (c !== ' ' && c !== '\t' && c !== '\n' && c !== '\r') {
                    return;
                }
                at += 1;
            }
        }

        function expect(c) {
            if (text.charAt(at) !== c) {
                fail('expected \'' + c + '\'');
            }
            at += 1;
        }

        function isDigit(c) {
            return c >= '0' && c <= '9';
        }

        function digits() {
            var start = at;
            while (isDigit(text.charAt(at))) {
                at += 1;
            }
            if (at === start) {
                fail('expected a digit');
            }
        }

        function readNumber() {
            var start = at;
            if (text.charAt(at) === '-') {
                at += 1;
            }
            if (text.charAt(at) === '0') {
                at += 1;
            } else {
                digits();
            }
            if (text.charAt(at) === '.') {
                at += 1;
                digits();
            }
            if (text.charAt(at) === 'e' || text.charAt(at) === 'E') {
                at += 1;
                if (text.charAt(at) === '+' || text.charAt(at) === '-') {
                    at += 1;
                }
                digits();
            }
            return Number(text.substring(start, at));
        }

        function readString() {
            var pieces = [], runStart, c, hex;
            expect('"');
            runStart = at;
            while (at < text.length) {
                c = text.charAt(at);
                if (c === '"') {
                    pieces.push(text.substring(runStart, at));
                    at += 1;
                    return pieces.join('');
                }
                if (c === '\\') {
                    pieces.push(text.substring(runStart, at));
                    c = text.charAt(at + 1);
                    if (c === 'u') {
                        hex = text.substring(at + 2, at + 6);
                        if (!/^[0-9a-fA-F]{4}$/.test(hex)) {
                            fail('bad \\u escape');
                        }
                        pieces.push(String.fromCharCode(parseInt(hex, 16)));
                        at += 6;
                    } else if (hasOwn.call(escapedCharacters, c)) {
                        pieces.push(escapedCharacters[c]);
                        at += 2;
                    } else {
                        fail('bad escape');
                    }
                    runStart = at;
                } else if (text.charCodeAt(at) < 0x20) {
                    fail('control character in a string');
                } else {
                    at += 1;
                }
            }
            fail('unterminated string');
        }

        function readWord(word, value) {
            if (text.substring(at, at + word.length) !== word) {
                fail('unexpected text');
            }
            at += word.length;
            return value;
        }

        // A member named __proto__ is an ordinary member of a parsed object, never its
        // prototype.
        function setMember(object, name, value) {
            if (name === '__proto__' && typeof Object.defineProperty === 'function') {
                Object.defineProperty(object, name,
                    { value: value, writable: true, enumerable: true, configurable: true });
            } else {
                object[name] = value;
            }
        }

        function readArray() {
            var array = [];
            expect('[');
            skipWhitespace();
            if (text.charAt(at) === ']') {
                at += 1;
                return array;
            }
            for (;;) {
                array.push(readValue());
                skipWhitespace();
                if (text.charAt(at) === ']') {
                    at += 1;
                    return array;
                }
                expect(',');
            }
        }

        function readObject() {
            var object = {}, name;
            expect('{');
            skipWhitespace();
            if (text.charAt(at) === '}') {
                at += 1;
                return object;
            }
            for (;;) {
                skipWhitespace();
                name = readString();
                skipWhitespace();
                expect(':');
                setMember(object, name, readValue());
                skipWhitespace();
                if (text.charAt(at) === '}') {
                    at += 1;
                    return object;
                }
                expect(',');
            }
        }

        function readValue() {
            var c;
            skipWhitespace();
            c = text.charAt(at);
            switch (c) {
            case '{':
                return readObject();
            case '[':
                return readArray();
            case '"':
                return readString();
            case 't':
                return readWord('true', true);
            case 'f':
                return readWord('false', false);
            case 'n':
                return readWord('null', null);
            default:
                if (c === '-' || isDigit(c)) {
                    return readNumber();
                }
                return fail(at < text.length ? 'unexpected character' : 'unexpected end');
            }
        }

        var value = readValue();
        skipWhitespace();
        if (at < text.length) {
            fail('text after the value');
        }
        return value;
    }

    function indexesOf(array) {
        var keys = [], i;
        for (i = 0; i < array.length; i += 1) {
            keys.push(String(i));
        }
        return keys;
    }

    // Hands every member, innermost first, to the reviver; undefined removes the member.
    function revive(holder, key, reviver) {
        var value = holder[key], keys, i, revived;
        if (value !== null && typeof value === 'object') {
            keys = isArray(value) ? indexesOf(value) : ownKeys(value);
            for (i = 0; i < keys.length; i += 1) {
                revived = revive(value, keys[i], reviver);
                if (revived === undefined) {
                    delete value[keys[i]];
                } else {
                    value[keys[i]] = revived;
                }
            }
        }
        return reviver.call(holder, key, value);
    }

    if (typeof JSON.parse !== 'function') {
        JSON.parse = function (text, reviver) {
            var value = read(String(text));
            return typeof reviver === 'function' ? revive({ '': value }, '', reviver) : value;
        };
    }
}());

// Every object and array answers toJSONString and parseJSON. Plain assignment makes both
// enumerable, so a for-in loop visits them: get__count and the member names count on that.
if (typeof Object.prototype.toJSONString !== 'function') {
    Object.prototype.toJSONString = function (replacer, space) {
        return JSON.stringify(this, replacer, space);
    };
    Object.prototype.parseJSON = function (reviver) {
        return JSON.parse(this, reviver);
    };
}
