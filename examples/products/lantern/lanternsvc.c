/* The lantern service: runs until the service manager asks it to stop. */
#include <windows.h>

static char serviceName[] = "KestrelLantern";
static SERVICE_STATUS_HANDLE statusHandle;
static HANDLE stopEvent;

static void report(DWORD state) {
    SERVICE_STATUS status = {0};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(statusHandle, &status);
}

static DWORD WINAPI control(DWORD code, DWORD type, LPVOID data, LPVOID context) {
    (void)type;
    (void)data;
    (void)context;
    if (code == SERVICE_CONTROL_STOP) {
        report(SERVICE_STOP_PENDING);
        SetEvent(stopEvent);
    }
    return NO_ERROR;
}

static void WINAPI serviceMain(DWORD argc, LPSTR* argv) {
    (void)argc;
    (void)argv;
    statusHandle = RegisterServiceCtrlHandlerExA(serviceName, control, NULL);
    if (!statusHandle) return;
    stopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    report(SERVICE_RUNNING);
    WaitForSingleObject(stopEvent, INFINITE);
    report(SERVICE_STOPPED);
}

int main(void) {
    SERVICE_TABLE_ENTRYA table[] = {{serviceName, serviceMain}, {NULL, NULL}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
