/* A sample extension module for setup (SetupExtDll=libsample-extension.so in [Application]).
 * It writes one line per event to the file that SAMPLE_HOOK_LOG names and answers from
 * the environment:
 *   SAMPLE_HOOK_NO      events answered "no": "4,9" or, for events 6 and 7, "6:Docs"
 *                       (only for that component)
 *   SAMPLE_HOOK_EXPAND  a text expanded through the installer on every event (logged)
 *   SAMPLE_HOOK_SET     NAME=value set through the installer at event 4 (result logged)
 * Everything else is answered "yes". */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The installer's expansion buffers hold 8192 characters; the expand callback writes at
 * most that much into the buffer it is given. */
#define EXPAND_BUFFER_SIZE 8192
#define COMPONENT_TEXT 256
/* Offsets in the 832-byte component record. */
#define COMPONENT_SELECTED (3 * COMPONENT_TEXT + 11 * 4)
#define COMPONENT_DEPENDENCY_COUNT (3 * COMPONENT_TEXT + 14 * 4)
#define COMPONENT_DEPENDENCY_LIST (3 * COMPONENT_TEXT + 15 * 4)

/* Every field is 32 bits wide; the pointers among them are 32-bit addresses. */
struct HookRecord {
    uint32_t size;
    uint32_t event;
    uint32_t runFlags;
    uint32_t mainWindow;
    uint32_t scriptPath;
    uint32_t first;
    uint32_t second;
    uint32_t expand;
    uint32_t third;
    uint32_t setVariable;
};

typedef int (*ExpandFunction)(char* buffer);
typedef int (*SetVariableFunction)(const char* name, const char* value);

static void* address(uint32_t field) {
    return (void*)(uintptr_t)field;
}

static uint32_t field32(const unsigned char* at) {
    return (uint32_t)at[0] | (uint32_t)at[1] << 8 | (uint32_t)at[2] << 16 | (uint32_t)at[3] << 24;
}

/* Whether SAMPLE_HOOK_NO lists the event (for a component: bare, or with its name). */
static int answersNo(uint32_t event, const char* component) {
    const char* list = getenv("SAMPLE_HOOK_NO");
    char item[300];
    while (list != NULL && *list != '\0') {
        size_t length = strcspn(list, ",");
        if (length < sizeof item) {
            memcpy(item, list, length);
            item[length] = '\0';
            char* colon = strchr(item, ':');
            if (colon != NULL) *colon = '\0';
            if ((uint32_t)strtoul(item, NULL, 10) == event &&
                (colon == NULL || (component != NULL && strcmp(colon + 1, component) == 0)))
                return 1;
        }
        list += length;
        if (*list == ',') ++list;
    }
    return 0;
}

static void logComponent(FILE* log, const unsigned char* record) {
    uint32_t count = field32(record + COMPONENT_DEPENDENCY_COUNT);
    const unsigned char* dependencies = address(field32(record + COMPONENT_DEPENDENCY_LIST));
    fprintf(log, " component=%.255s selected=%u dependencies=", (const char*)record,
            field32(record + COMPONENT_SELECTED));
    for (uint32_t i = 0; i < count && dependencies != NULL; ++i)
        fprintf(log, "%s%u", i > 0 ? "," : "", field32(dependencies + 4 * i));
}

int32_t SetupHookFunc(struct HookRecord* record) {
    const char* component = NULL;
    FILE* log = NULL;
    const char* logName = getenv("SAMPLE_HOOK_LOG");
    if (logName != NULL) log = fopen(logName, "a");
    if (log != NULL) {
        fprintf(log, "event=%u size=%u flags=%u script=%s", record->event, record->size,
                record->runFlags, (const char*)address(record->scriptPath));
    }
    if (record->event == 2 || record->event == 3) {
        if (log != NULL)
            fprintf(log, " source=%s destination=%s", (const char*)address(record->first),
                    (const char*)address(record->second));
    } else if (record->event == 6 || record->event == 7) {
        component = address(record->first);
        if (log != NULL) logComponent(log, address(record->first));
    }
    const char* text = getenv("SAMPLE_HOOK_EXPAND");
    if (text != NULL) {
        static char buffer[EXPAND_BUFFER_SIZE];
        snprintf(buffer, sizeof buffer, "%s", text);
        int expanded = ((ExpandFunction)(uintptr_t)record->expand)(buffer);
        if (log != NULL) fprintf(log, " expand=%d:%s", expanded, buffer);
    }
    const char* assignment = getenv("SAMPLE_HOOK_SET");
    if (assignment != NULL && record->event == 4) {
        char name[256];
        size_t length = strcspn(assignment, "=");
        if (length < sizeof name && assignment[length] == '=') {
            memcpy(name, assignment, length);
            name[length] = '\0';
            int set = ((SetVariableFunction)(uintptr_t)record->setVariable)(
                name, assignment + length + 1);
            if (log != NULL) fprintf(log, " set=%d", set);
        }
    }
    int answer = answersNo(record->event, component) ? 0 : 1;
    if (log != NULL) {
        fprintf(log, " answer=%d\n", answer);
        fclose(log);
    }
    return answer;
}
