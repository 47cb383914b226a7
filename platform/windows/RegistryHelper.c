/* kestrel-registry: the registry calls of the suite's Linux programs, carried out inside Wine.

   While a wineserver runs for a prefix, it holds the prefix's registry in memory and writes it
   over the hive files when it ends: a program outside Wine that wants its changes kept, and
   wants to see what Windows programs wrote, must go through the server. This program is that
   way through. Started under Wine with pipes as its standard input and output, it first writes
   the greeting line below, then answers one request after the other until its input ends;
   the caller may send requests ahead of their answers.

   Every request and every answer is a frame: a 32-bit length of what follows, then the bytes.
   Numbers are little-endian; a text is a 32-bit byte count and UTF-16LE characters without a
   terminator; a blob is a byte count and the bytes. A request is an operation number, the
   root (0 HKEY_LOCAL_MACHINE, 1 HKEY_USERS), the key's path and the operation's own fields.
   An answer is the Windows error code (32 bits, signed) and, on success, the operation's
   results. Keys are opened in the 64-bit view (KEY_WOW64_64KEY): paths are taken literally,
   Wow6432Node included, as they stand in the hive files. */
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#define GREETING "KESTREL-REGISTRY 1\n"
#define VIEW KEY_WOW64_64KEY
#define MAX_KEY_NAME 256 /* 255 characters and the terminator */

enum {
    OP_CREATE_KEY = 1,
    OP_CREATE_LINK,
    OP_OPEN_KEY,
    OP_SET_VALUE,
    OP_QUERY_VALUE,
    OP_DELETE_VALUE,
    OP_DELETE_KEY,
    OP_DELETE_TREE,
    OP_SUBKEY_NAMES,
    OP_VALUE_NAMES,
    OP_KEY_INFO,
};

typedef LONG(NTAPI* NtDeleteKeyFunction)(HANDLE);
typedef ULONG(NTAPI* StatusToErrorFunction)(LONG);
static NtDeleteKeyFunction ntDeleteKey;
static StatusToErrorFunction statusToError;

/* A growing byte buffer: the answer being built. */
typedef struct {
    unsigned char* bytes;
    size_t size, capacity;
    int failed; /* out of memory */
} Buffer;

static void put(Buffer* buffer, const void* data, size_t size) {
    if (buffer->failed) return;
    if (buffer->size + size > buffer->capacity) {
        size_t capacity = buffer->capacity ? buffer->capacity : 256;
        while (capacity < buffer->size + size) capacity *= 2;
        unsigned char* grown = realloc(buffer->bytes, capacity);
        if (!grown) {
            buffer->failed = 1;
            return;
        }
        buffer->bytes = grown;
        buffer->capacity = capacity;
    }
    memcpy(buffer->bytes + buffer->size, data, size);
    buffer->size += size;
}

static void putNumber(Buffer* buffer, uint32_t number) {
    unsigned char bytes[4] = {number & 0xff, (number >> 8) & 0xff, (number >> 16) & 0xff,
                              number >> 24};
    put(buffer, bytes, 4);
}

static void putText(Buffer* buffer, const WCHAR* text, size_t length) {
    putNumber(buffer, (uint32_t)(length * sizeof(WCHAR)));
    put(buffer, text, length * sizeof(WCHAR));
}

/* The request being read; `bad` once it held less than its fields need. */
typedef struct {
    const unsigned char* at;
    size_t left;
    int bad;
} Reader;

static uint32_t takeNumber(Reader* reader) {
    if (reader->left < 4) {
        reader->bad = 1;
        return 0;
    }
    const unsigned char* p = reader->at;
    reader->at += 4;
    reader->left -= 4;
    return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24);
}

static unsigned takeByte(Reader* reader) {
    if (reader->left < 1) {
        reader->bad = 1;
        return 0;
    }
    reader->left--;
    return *reader->at++;
}

/* A blob: its bytes stay in the request. */
static const unsigned char* takeBlob(Reader* reader, uint32_t* size) {
    *size = takeNumber(reader);
    if (reader->bad || *size > reader->left) {
        reader->bad = 1;
        *size = 0;
        return NULL;
    }
    const unsigned char* bytes = reader->at;
    reader->at += *size;
    reader->left -= *size;
    return bytes;
}

/* A text as a terminated wide string, allocated; NULL when the request is bad. */
static WCHAR* takeText(Reader* reader) {
    uint32_t size;
    const unsigned char* bytes = takeBlob(reader, &size);
    if (reader->bad || size % sizeof(WCHAR)) {
        reader->bad = 1;
        return NULL;
    }
    WCHAR* text = malloc(size + sizeof(WCHAR));
    if (!text) {
        reader->bad = 1;
        return NULL;
    }
    memcpy(text, bytes, size);
    text[size / sizeof(WCHAR)] = 0;
    return text;
}

static int writeAll(HANDLE output, const void* data, DWORD size) {
    const unsigned char* at = data;
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile(output, at, size, &put, NULL) || put == 0) return 0;
        at += put;
        size -= put;
    }
    return 1;
}

/* Requests are read as much at a time as has come, and answers are kept until no request is
   waiting: a system call for a batch of requests sent ahead and one for their answers, not
   three for each. */
static unsigned char received[65536];
static DWORD receivedAt, receivedEnd;
static Buffer unanswered; /* answers not written yet */

static int writeAnswers(HANDLE output) {
    const int written =
        !unanswered.failed && writeAll(output, unanswered.bytes, (DWORD)unanswered.size);
    unanswered.size = 0;
    return written;
}

static int readAll(HANDLE input, HANDLE output, void* data, DWORD size) {
    unsigned char* at = data;
    while (size > 0) {
        if (receivedAt == receivedEnd) {
            /* Nothing more has come: the caller may be waiting for the answers. */
            DWORD got = 0;
            if (!writeAnswers(output) || !ReadFile(input, received, sizeof received, &got, NULL) ||
                got == 0)
                return 0;
            receivedAt = 0;
            receivedEnd = got;
        }
        const DWORD n = size < receivedEnd - receivedAt ? size : receivedEnd - receivedAt;
        memcpy(at, received + receivedAt, n);
        receivedAt += n;
        at += n;
        size -= n;
    }
    return 1;
}

static int isLink(HKEY key) {
    DWORD type = 0;
    return RegQueryValueExW(key, L"SymbolicLinkValue", NULL, &type, NULL, NULL) == ERROR_SUCCESS &&
           type == REG_LINK;
}

static LONG deleteOpenKey(HKEY key) {
    return (LONG)statusToError(ntDeleteKey(key));
}

/* The key with everything below it; links inside are removed, never followed. */
static LONG deleteTree(HKEY parent, const WCHAR* name) {
    HKEY key;
    LONG error = RegOpenKeyExW(parent, name, REG_OPTION_OPEN_LINK,
                               KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE | VIEW, &key);
    if (error) return error;
    if (!isLink(key)) {
        WCHAR subkey[MAX_KEY_NAME];
        for (;;) {
            DWORD length = MAX_KEY_NAME;
            error = RegEnumKeyExW(key, 0, subkey, &length, NULL, NULL, NULL, NULL);
            if (error == ERROR_NO_MORE_ITEMS) break;
            if (!error) error = deleteTree(key, subkey);
            if (error) {
                RegCloseKey(key);
                return error;
            }
        }
    }
    error = deleteOpenKey(key);
    RegCloseKey(key);
    return error;
}

static LONG listNames(HKEY key, int values, Buffer* answer) {
    DWORD count = 0, longest = 0;
    LONG error = values ? RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, &count,
                                           &longest, NULL, NULL, NULL)
                        : RegQueryInfoKeyW(key, NULL, NULL, NULL, &count, &longest, NULL, NULL,
                                           NULL, NULL, NULL, NULL);
    if (error) return error;
    WCHAR* name = malloc((longest + 1) * sizeof(WCHAR));
    if (!name) return ERROR_NOT_ENOUGH_MEMORY;
    Buffer names = {0};
    DWORD found = 0;
    for (DWORD index = 0;; ++index) {
        DWORD length = longest + 1;
        error = values ? RegEnumValueW(key, index, name, &length, NULL, NULL, NULL, NULL)
                       : RegEnumKeyExW(key, index, name, &length, NULL, NULL, NULL, NULL);
        if (error == ERROR_NO_MORE_ITEMS) {
            error = ERROR_SUCCESS;
            break;
        }
        if (error) break;
        putText(&names, name, length);
        ++found;
    }
    free(name);
    if (!error) {
        putNumber(answer, found);
        put(answer, names.bytes, names.size);
        if (names.failed) error = ERROR_NOT_ENOUGH_MEMORY;
    }
    free(names.bytes);
    return error;
}

static LONG queryValue(HKEY key, const WCHAR* name, Buffer* answer) {
    DWORD type = 0, size = 0;
    LONG error = RegQueryValueExW(key, name, NULL, &type, NULL, &size);
    unsigned char* data = NULL;
    /* The value may grow between the two calls, when a Windows program writes it. */
    while (!error) {
        unsigned char* grown = realloc(data, size ? size : 1);
        if (!grown) {
            error = ERROR_NOT_ENOUGH_MEMORY;
            break;
        }
        data = grown;
        DWORD got = size;
        error = RegQueryValueExW(key, name, NULL, &type, data, &got);
        if (error == ERROR_MORE_DATA) {
            size = got > size ? got : size * 2;
            error = ERROR_SUCCESS;
            continue;
        }
        if (!error) {
            putNumber(answer, type);
            putNumber(answer, got);
            put(answer, data, got);
        }
        break;
    }
    free(data);
    return error;
}

/* Keys opened before, so that a call costs the server one request, not three (open, the call,
   close). A handle whose key was deleted meanwhile (by us or by a Windows program) answers
   ERROR_KEY_DELETED: the key is then opened again. Each entry keeps a hash of its path folded
   as _wcsicmp folds it: the paths of a product's keys share long beginnings, and comparing
   each request's path with every entry in full was most of the helper's own work. */
#define CACHED_KEYS 64
static struct {
    HKEY root;
    WCHAR* path;
    unsigned hash;
    HKEY key;
} cache[CACHED_KEYS];
static unsigned cacheNext;

static unsigned foldedHash(const WCHAR* path) {
    unsigned hash = 5381;
    for (; *path; ++path) hash = hash * 33 + towlower(*path);
    return hash;
}

static int cachedAt(HKEY root, const WCHAR* path) {
    const unsigned hash = foldedHash(path);
    for (int i = 0; i < CACHED_KEYS; ++i)
        if (cache[i].path && cache[i].hash == hash && cache[i].root == root &&
            !_wcsicmp(cache[i].path, path))
            return i;
    return -1;
}

static void forgetAt(int i) {
    RegCloseKey(cache[i].key);
    free(cache[i].path);
    cache[i].path = NULL;
}

static void forgetAll(void) {
    for (int i = 0; i < CACHED_KEYS; ++i)
        if (cache[i].path) forgetAt(i);
}

/* Keeps `key` for `path`; a handle that cannot be kept is closed. */
static void remember(HKEY root, const WCHAR* path, HKEY key) {
    int i = cachedAt(root, path);
    if (i < 0) {
        i = (int)(cacheNext++ % CACHED_KEYS);
        if (!cache[i].path)
            cache[i].path = _wcsdup(path);
        else {
            RegCloseKey(cache[i].key);
            free(cache[i].path);
            cache[i].path = _wcsdup(path);
        }
        if (!cache[i].path) {
            RegCloseKey(key);
            return;
        }
    } else {
        RegCloseKey(cache[i].key);
    }
    cache[i].root = root;
    cache[i].hash = foldedHash(path);
    cache[i].key = key;
}

static LONG openKey(HKEY root, const WCHAR* path, int fresh, HKEY* key) {
    const int i = cachedAt(root, path);
    if (i >= 0 && !fresh) {
        *key = cache[i].key;
        return ERROR_SUCCESS;
    }
    LONG error = RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS | VIEW, key);
    if (!error)
        remember(root, path, *key);
    else if (i >= 0)
        forgetAt(i);
    return error;
}

/* The numbers of subkeys and of values, in that order. */
static LONG putCounts(HKEY key, Buffer* answer) {
    DWORD subkeys = 0, values = 0;
    const LONG error = RegQueryInfoKeyW(key, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL,
                                        NULL, NULL, NULL);
    if (!error) {
        putNumber(answer, subkeys);
        putNumber(answer, values);
    }
    return error;
}

typedef struct {
    unsigned operation;
    const WCHAR* name;
    uint32_t type, size;
    const unsigned char* data;
} Call;

static LONG callOn(HKEY key, const Call* call, Buffer* answer) {
    switch (call->operation) {
        case OP_OPEN_KEY: { /* a kept handle may be one of a key deleted since */
            const LONG error = RegQueryValueExW(key, L"", NULL, NULL, NULL, NULL);
            return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
        }
        case OP_SET_VALUE:
            return RegSetValueExW(key, call->name, 0, call->type, call->data, call->size);
        case OP_QUERY_VALUE:
            return queryValue(key, call->name, answer);
        case OP_DELETE_VALUE: {
            /* With the key's counts after it when they can be had: a removal asks for them
               next, to tell whether the key is left empty. */
            const LONG error = RegDeleteValueW(key, call->name);
            if (!error) putCounts(key, answer);
            return error;
        }
        case OP_SUBKEY_NAMES:
        case OP_VALUE_NAMES:
            return listNames(key, call->operation == OP_VALUE_NAMES, answer);
        case OP_KEY_INFO:
            return putCounts(key, answer);
    }
    return ERROR_INVALID_PARAMETER;
}

/* A call on an existing key, through the cache; a key that is gone is looked up once more. */
static LONG callOnKey(HKEY root, const WCHAR* path, const Call* call, Buffer* answer) {
    HKEY key;
    LONG error = openKey(root, path, 0, &key);
    if (!error) error = callOn(key, call, answer);
    if (error == ERROR_KEY_DELETED) {
        answer->size = 0;
        error = openKey(root, path, 1, &key);
        if (!error) error = callOn(key, call, answer);
    }
    return error;
}

/* Carries out one request; the answer's fields after the error code go to `answer`. */
static LONG carryOut(Reader* request, Buffer* answer) {
    const unsigned operation = takeByte(request);
    const unsigned rootNumber = takeByte(request);
    WCHAR* path = takeText(request);
    WCHAR* name = NULL;
    const HKEY root = rootNumber == 0 ? HKEY_LOCAL_MACHINE : HKEY_USERS;
    LONG error = ERROR_INVALID_PARAMETER;
    if (request->bad || rootNumber > 1) goto done;

    switch (operation) {
        case OP_CREATE_KEY: {
            const unsigned makeVolatile = takeByte(request);
            if (request->bad) break;
            /* A key we hold still exists unless it was deleted: then it is made anew. Asking
               for its default value is the server's cheapest way to tell. */
            const int kept = cachedAt(root, path);
            const LONG held = kept < 0
                                  ? ERROR_KEY_DELETED
                                  : RegQueryValueExW(cache[kept].key, L"", NULL, NULL, NULL, NULL);
            if (held == ERROR_SUCCESS || held == ERROR_FILE_NOT_FOUND) {
                const unsigned char created = 0;
                put(answer, &created, 1);
                error = ERROR_SUCCESS;
                break;
            }
            DWORD disposition = 0;
            HKEY key;
            error = RegCreateKeyExW(root, path, 0, NULL,
                                    makeVolatile ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS | VIEW, NULL, &key, &disposition);
            if (!error) {
                remember(root, path, key);
                const unsigned char created = disposition == REG_CREATED_NEW_KEY;
                put(answer, &created, 1);
            }
            break;
        }
        case OP_CREATE_LINK: {
            name = takeText(request); /* the target */
            if (request->bad) break;
            HKEY key;
            error = RegCreateKeyExW(root, path, 0, NULL, REG_OPTION_CREATE_LINK,
                                    KEY_ALL_ACCESS | VIEW, NULL, &key, NULL);
            if (error) break;
            error = RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK, (const BYTE*)name,
                                   (DWORD)(wcslen(name) * sizeof(WCHAR)));
            RegCloseKey(key);
            break;
        }
        case OP_DELETE_KEY: {
            /* A link key itself, never its target. */
            HKEY key;
            forgetAll();
            error = RegOpenKeyExW(root, path, REG_OPTION_OPEN_LINK, DELETE | VIEW, &key);
            if (error) break;
            error = deleteOpenKey(key);
            RegCloseKey(key);
            break;
        }
        case OP_DELETE_TREE:
            forgetAll();
            error = deleteTree(root, path);
            break;
        default: {
            Call call = {operation, NULL, 0, 0, NULL};
            if (operation == OP_SET_VALUE || operation == OP_QUERY_VALUE ||
                operation == OP_DELETE_VALUE)
                call.name = name = takeText(request);
            if (operation == OP_SET_VALUE) {
                call.type = takeNumber(request);
                call.data = takeBlob(request, &call.size);
            }
            if (request->bad) break;
            error = callOnKey(root, path, &call, answer);
        }
    }
done:
    free(name);
    free(path);
    if (answer->failed) return ERROR_NOT_ENOUGH_MEMORY;
    return error;
}

int main(void) {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    ntDeleteKey = (NtDeleteKeyFunction)(void (*)(void))GetProcAddress(ntdll, "NtDeleteKey");
    statusToError =
        (StatusToErrorFunction)(void (*)(void))GetProcAddress(ntdll, "RtlNtStatusToDosError");
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!ntDeleteKey || !statusToError || !writeAll(output, GREETING, sizeof GREETING - 1))
        return 1;
    for (;;) {
        unsigned char header[4];
        if (!readAll(input, output, header, 4)) return 0; /* our caller has gone */
        const uint32_t size =
            header[0] | (header[1] << 8) | (header[2] << 16) | ((uint32_t)header[3] << 24);
        unsigned char* bytes = malloc(size ? size : 1);
        if (!bytes || !readAll(input, output, bytes, size)) return 1;
        Reader request = {bytes, size, 0};
        Buffer answer = {0};
        const LONG error = carryOut(&request, &answer);
        free(bytes);
        putNumber(&unanswered, (uint32_t)(4 + (error ? 0 : answer.size)));
        putNumber(&unanswered, (uint32_t)error);
        if (!error) put(&unanswered, answer.bytes, answer.size);
        free(answer.bytes);
        if (unanswered.failed || (unanswered.size >= sizeof received && !writeAnswers(output)))
            return 1;
    }
}
