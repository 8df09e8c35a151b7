// Where Wine's serial emulation stops: each step of a conversation on a COM port as
// QSerialPort does it on Windows (overlapped I/O, an I/O completion port, WaitCommEvent for
// EV_RXCHAR), one line per step. scripts/windows-com-sonde runs it against a pseudo-terminal.
//   com_sonde.exe \\.\COM4 [warten]   ("warten": WaitCommEvent before the write, as Qt does)
#include <windows.h>
#include <stdio.h>
#include <string.h>

static void step(const char* was, BOOL ok) {
    printf("%-44s %s (%lu)\n", was, ok ? "ok" : "FEHLER", ok ? 0UL : GetLastError());
    fflush(stdout);
}

static BOOL warten(HANDLE h, OVERLAPPED* o, DWORD ms, DWORD* n) {
    DWORD w = WaitForSingleObject(o->hEvent, ms);
    if (w != WAIT_OBJECT_0) {
        SetLastError(w == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError());
        return FALSE;
    }
    return GetOverlappedResult(h, o, n, FALSE);
}

int main(int argc, char** argv) {
    const char* port = argc > 1 ? argv[1] : "\\\\.\\COM4";
    const int mitWarten = argc > 2 && strcmp(argv[2], "warten") == 0;
    HANDLE h = CreateFileA(port, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, NULL);
    step("CreateFile overlapped", h != INVALID_HANDLE_VALUE);
    if (h == INVALID_HANDLE_VALUE) return 1;
    DCB dcb; memset(&dcb, 0, sizeof dcb); dcb.DCBlength = sizeof dcb;
    step("GetCommState", GetCommState(h, &dcb));
    dcb.BaudRate = 9600; dcb.ByteSize = 8; dcb.Parity = NOPARITY; dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE; dcb.fOutxCtsFlow = FALSE; dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE; dcb.fOutX = FALSE; dcb.fInX = FALSE;
    step("SetCommState 9600,N,8,1", SetCommState(h, &dcb));
    COMMTIMEOUTS t; memset(&t, 0, sizeof t); t.ReadIntervalTimeout = MAXDWORD;
    step("SetCommTimeouts (Lesen sofort)", SetCommTimeouts(h, &t));
    step("SetCommMask EV_RXCHAR", SetCommMask(h, EV_RXCHAR));
    HANDLE port_iocp = CreateIoCompletionPort(h, NULL, 0, 0);
    step("CreateIoCompletionPort", port_iocp != NULL);

    OVERLAPPED ev; memset(&ev, 0, sizeof ev); ev.hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    DWORD maske = 0, n = 0;
    if (mitWarten) {
        BOOL r = WaitCommEvent(h, &maske, &ev);
        step("WaitCommEvent overlapped (schwebend)", r || GetLastError() == ERROR_IO_PENDING);
        Sleep(1000);
        printf("%-44s %s, Internal 0x%lx\n", "WaitCommEvent 1 s spaeter, ohne Verkehr",
               WaitForSingleObject(ev.hEvent, 0) == WAIT_OBJECT_0 ? "beendet" : "schwebt",
               (unsigned long)ev.Internal);
    }
    OVERLAPPED wo; memset(&wo, 0, sizeof wo); wo.hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    BOOL r = WriteFile(h, "PING\r\n", 6, NULL, &wo);
    step("WriteFile overlapped angenommen", r || GetLastError() == ERROR_IO_PENDING);
    r = warten(h, &wo, 3000, &n);
    printf("%-44s %s, %lu Bytes\n", "WriteFile fertig", r ? "ok" : "FEHLER", n);
    fflush(stdout);
    if (!mitWarten) {
        BOOL r2 = WaitCommEvent(h, &maske, &ev);
        step("WaitCommEvent overlapped (schwebend)", r2 || GetLastError() == ERROR_IO_PENDING);
    }
    DWORD t0 = GetTickCount();
    r = warten(h, &ev, 5000, &n);
    printf("%-44s %s (%lu) nach %lu ms, Maske %lu, Internal 0x%lx\n", "WaitCommEvent meldet Eingang",
           r ? "ok" : "FEHLER", r ? 0UL : GetLastError(), GetTickCount() - t0, maske,
           (unsigned long)ev.Internal);
    fflush(stdout);
    Sleep(300);
    COMSTAT st; DWORD fehler = 0;
    r = ClearCommError(h, &fehler, &st);
    printf("%-44s %s, %lu Bytes in der Warteschlange\n", "ClearCommError", r ? "ok" : "FEHLER",
           st.cbInQue);
    char puffer[64] = {0};
    OVERLAPPED ro; memset(&ro, 0, sizeof ro); ro.hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    r = ReadFile(h, puffer, sizeof puffer - 1, NULL, &ro);
    if (!r && GetLastError() == ERROR_IO_PENDING) r = TRUE;
    step("ReadFile overlapped angenommen", r);
    r = warten(h, &ro, 3000, &n);
    printf("%-44s %s, %lu Bytes: %.*s\n", "ReadFile fertig", r ? "ok" : "FEHLER", n, (int)n, puffer);
    ULONG_PTR key; OVERLAPPED* fertig = NULL; DWORD m = 0; int gemeldet = 0;
    for (;;) {
        BOOL g = GetQueuedCompletionStatus(port_iocp, &m, &key, &fertig, 200);
        if (!fertig) break;
        printf("  Abschluss %s: %s (%lu), %lu Bytes\n",
               fertig == &ev ? "WaitCommEvent" : fertig == &wo ? "WriteFile" : fertig == &ro ? "ReadFile" : "?",
               g ? "ok" : "FEHLER", g ? 0UL : GetLastError(), m);
        ++gemeldet;
    }
    printf("%-44s %d\n", "Abschluesse am Completion Port", gemeldet);
    CloseHandle(h);
    return 0;
}
