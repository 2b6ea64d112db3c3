/* Starts a program and reports how long it took until its first top-level window was on screen,
 * and how much memory it holds once it has settled.
 *
 * Usage: mapwait [-c CONFIG_DIR] [-s SETTLE_MS] [-t TIMEOUT_MS] [-x NAME]... PROGRAM [ARGS...]
 *
 * Prints one line: milliseconds from fork to the window becoming viewable, then the VmRSS (KiB)
 * of the process that owns the window, the summed VmRSS of the launched process tree and the
 * number of processes summed. -x leaves processes of that command name (as in /proc/PID/comm)
 * out of the sum, e.g. a session bus started for every program alike. -c runs the program with
 * that XDG_CONFIG_HOME. Memory is read SETTLE_MS (default 2000) after the window appeared.
 * Exits 1 when no window appeared within TIMEOUT_MS (default 30000).
 *
 * The window is found from X events alone, with no polling:
 * - every child of the root window created without override-redirect is a candidate; we listen
 *   to its own structure events, because once a window manager reparents it into a frame its
 *   map events no longer reach the root window;
 * - when a candidate is reparented, we also listen to every ancestor of its new place, since the
 *   window becomes viewable only when the last of them (usually the frame) is mapped;
 * - on every map event seen, each mapped candidate is checked: viewable, a normal window type
 *   (or none), and owned by the launched process tree (by descent or process group) by
 *   _NET_WM_PID. A candidate without
 *   _NET_WM_PID is accepted only if it carries WM_CLASS, which the window manager's own frames
 *   never do.
 * The clock starts just before fork(); fork and exec cost tens of microseconds. */
#define _GNU_SOURCE
#include <xcb/xcb.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum
{
    maxWindows = 4096,
    maxProcesses = 1024,
    maxExcluded = 16
};

static xcb_connection_t *connection;
static xcb_window_t root;
static pid_t child;

static xcb_window_t candidates[maxWindows];
static int candidateCount;

static const char *excluded[maxExcluded];
static int excludedCount;

static xcb_atom_t atomPid, atomType, atomTypeNormal, atomClass;

static double nowMs(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec * 1e3 + (double)ts.tv_nsec / 1e6;
}

static xcb_atom_t internAtom(const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, (uint16_t)strlen(name), name), NULL);
    xcb_atom_t atom = reply ? reply->atom : XCB_ATOM_NONE;
    free(reply);
    return atom;
}

/* Parent and process group of a process from /proc/PID/stat; false when the process is gone.
 * The command name may hold blanks and parentheses, so the fields are read after its last ')'. */
static bool readStat(pid_t pid, pid_t *parent, pid_t *group)
{
    char path[64];
    char buffer[1024];
    snprintf(path, sizeof path, "/proc/%d/stat", (int)pid);
    FILE *file = fopen(path, "r");
    if (!file) {
        return false;
    }
    size_t length = fread(buffer, 1, sizeof buffer - 1, file);
    fclose(file);
    buffer[length] = '\0';
    char *end = strrchr(buffer, ')');
    int parentId = 0;
    int groupId = 0;
    if (!end || sscanf(end + 1, " %*c %d %d", &parentId, &groupId) != 2) {
        return false;
    }
    *parent = (pid_t)parentId;
    *group = (pid_t)groupId;
    return true;
}

static pid_t parentOf(pid_t pid)
{
    pid_t parent = 0;
    pid_t group = 0;
    return readStat(pid, &parent, &group) ? parent : 0;
}

static bool inChildTree(pid_t pid)
{
    pid_t parent = 0;
    pid_t group = 0;
    if (readStat(pid, &parent, &group) && group == child) {
        return true;
    }
    for (int depth = 0; pid > 1 && depth < 64; ++depth) {
        if (pid == child) {
            return true;
        }
        pid = parentOf(pid);
    }
    return false;
}

static long rssKib(pid_t pid)
{
    char path[64];
    char line[256];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE *file = fopen(path, "r");
    if (!file) {
        return 0;
    }
    long kib = 0;
    while (fgets(line, sizeof line, file)) {
        if (sscanf(line, "VmRSS: %ld", &kib) == 1) {
            break;
        }
    }
    fclose(file);
    return kib;
}

static bool isExcluded(pid_t pid)
{
    char path[64];
    char name[64] = "";
    snprintf(path, sizeof path, "/proc/%d/comm", (int)pid);
    FILE *file = fopen(path, "r");
    if (!file) {
        return false;
    }
    if (!fgets(name, sizeof name, file)) {
        name[0] = '\0';
    }
    fclose(file);
    name[strcspn(name, "\n")] = '\0';
    for (int i = 0; i < excludedCount; ++i) {
        /* The kernel keeps the first 15 bytes of a command name. */
        if (strncmp(name, excluded[i], 15) == 0) {
            return true;
        }
    }
    return false;
}

/* The launched process, all its descendants, and whatever stayed in its process group: a service
 * that D-Bus starts on the program's behalf detaches from its parent and is left to init, but it
 * keeps the group. One pass over /proc per generation. */
static int childTree(pid_t *tree)
{
    int count = 0;
    tree[count++] = child;
    for (bool grew = true; grew;) {
        grew = false;
        DIR *proc = opendir("/proc");
        if (!proc) {
            break;
        }
        struct dirent *entry;
        while ((entry = readdir(proc)) && count < maxProcesses) {
            pid_t pid = (pid_t)atoi(entry->d_name);
            if (pid <= 0) {
                continue;
            }
            bool known = false;
            for (int i = 0; i < count && !known; ++i) {
                known = tree[i] == pid;
            }
            if (known) {
                continue;
            }
            pid_t parent = 0;
            pid_t group = 0;
            if (!readStat(pid, &parent, &group)) {
                continue;
            }
            if (group == child) {
                tree[count++] = pid;
                grew = true;
                continue;
            }
            for (int i = 0; i < count; ++i) {
                if (tree[i] == parent) {
                    tree[count++] = pid;
                    grew = true;
                    break;
                }
            }
        }
        closedir(proc);
    }
    return count;
}

static void addCandidate(xcb_window_t window)
{
    for (int i = 0; i < candidateCount; ++i) {
        if (candidates[i] == window) {
            return;
        }
    }
    if (candidateCount < maxWindows) {
        candidates[candidateCount++] = window;
    }
}

static void removeCandidate(xcb_window_t window)
{
    for (int i = 0; i < candidateCount; ++i) {
        if (candidates[i] == window) {
            candidates[i] = candidates[--candidateCount];
            return;
        }
    }
}

static void listenTo(xcb_window_t window)
{
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
}

/* Listens to every ancestor of the window below the root, so that mapping any of them (the
 * frame, or a window inside it) reaches us. */
static void listenToAncestors(xcb_window_t window)
{
    for (int depth = 0; depth < 16; ++depth) {
        xcb_query_tree_reply_t *tree =
            xcb_query_tree_reply(connection, xcb_query_tree(connection, window), NULL);
        if (!tree) {
            return;
        }
        xcb_window_t parent = tree->parent;
        free(tree);
        if (parent == root || parent == XCB_WINDOW_NONE) {
            return;
        }
        listenTo(parent);
        window = parent;
    }
}

static bool getCardinal(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, uint32_t *value,
                        bool *present)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 1), NULL);
    if (!reply) {
        return false;
    }
    *present = reply->format == 32 && xcb_get_property_value_length(reply) >= 4;
    if (*present) {
        *value = *(uint32_t *)xcb_get_property_value(reply);
    }
    free(reply);
    return true;
}

/* Whether the candidate is the window we wait for; fills in the owner's process id, or 0. */
static bool isOurWindow(xcb_window_t window, pid_t *owner)
{
    xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), NULL);
    if (!attributes) {
        return false;
    }
    bool viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
                    !attributes->override_redirect &&
                    attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT;
    free(attributes);
    if (!viewable) {
        return false;
    }

    uint32_t type = 0;
    bool hasType = false;
    if (!getCardinal(window, atomType, XCB_ATOM_ATOM, &type, &hasType) ||
        (hasType && type != atomTypeNormal)) {
        return false;
    }

    uint32_t pid = 0;
    bool hasPid = false;
    if (!getCardinal(window, atomPid, XCB_ATOM_CARDINAL, &pid, &hasPid)) {
        return false;
    }
    if (hasPid) {
        *owner = (pid_t)pid;
        return inChildTree((pid_t)pid);
    }
    *owner = 0;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, atomClass, XCB_ATOM_STRING, 0, 1),
        NULL);
    const bool hasClass = reply && xcb_get_property_value_length(reply) > 0;
    free(reply);
    return hasClass;
}

static xcb_window_t findMappedCandidate(pid_t *owner)
{
    for (int i = 0; i < candidateCount; ++i) {
        if (isOurWindow(candidates[i], owner)) {
            return candidates[i];
        }
    }
    return XCB_WINDOW_NONE;
}

static void endChild(void)
{
    pid_t tree[maxProcesses];
    const int count = childTree(tree);
    kill(-child, SIGTERM);
    for (int i = 0; i < count; ++i) {
        kill(tree[i], SIGTERM);
    }
    bool ended = false;
    for (int waited = 0; waited < 200 && !ended; ++waited) {
        ended = waitpid(child, NULL, WNOHANG) == child;
        if (!ended) {
            usleep(10000);
        }
    }
    /* Helpers that ignored SIGTERM, or outlived the process that started them, go now. */
    kill(-child, SIGKILL);
    for (int i = 1; i < count; ++i) {
        kill(tree[i], SIGKILL);
    }
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, NULL, 0);
    }
}

static void usage(void)
{
    fputs("usage: mapwait [-c CONFIG_DIR] [-s SETTLE_MS] [-t TIMEOUT_MS] [-x NAME]... PROGRAM "
          "[ARGS...]\n",
          stderr);
    exit(2);
}

int main(int argc, char *argv[])
{
    const char *configDir = NULL;
    long settleMs = 2000;
    long timeoutMs = 30000;
    int option;
    while ((option = getopt(argc, argv, "+c:s:t:x:")) != -1) {
        switch (option) {
        case 'c':
            configDir = optarg;
            break;
        case 's':
            settleMs = atol(optarg);
            break;
        case 't':
            timeoutMs = atol(optarg);
            break;
        case 'x':
            if (excludedCount == maxExcluded) {
                usage();
            }
            excluded[excludedCount++] = optarg;
            break;
        default:
            usage();
        }
    }
    if (optind >= argc) {
        usage();
    }

    connection = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(connection)) {
        fputs("mapwait: cannot open the display\n", stderr);
        return 2;
    }
    const int xfd = xcb_get_file_descriptor(connection);
    fcntl(xfd, F_SETFD, fcntl(xfd, F_GETFD) | FD_CLOEXEC);
    root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    atomPid = internAtom("_NET_WM_PID");
    atomType = internAtom("_NET_WM_WINDOW_TYPE");
    atomTypeNormal = internAtom("_NET_WM_WINDOW_TYPE_NORMAL");
    atomClass = XCB_ATOM_WM_CLASS;

    /* The selection must be in force before the program can create anything. */
    const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_generic_error_t *error = xcb_request_check(
        connection,
        xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &rootMask));
    if (error) {
        fputs("mapwait: cannot listen to the root window\n", stderr);
        return 2;
    }

    const double start = nowMs();
    child = fork();
    if (child < 0) {
        perror("mapwait: fork");
        return 2;
    }
    if (child == 0) {
        /* Its own process group, so that the whole tree can be ended at once. */
        setpgid(0, 0);
        /* Our standard output carries the result line alone. */
        dup2(STDERR_FILENO, STDOUT_FILENO);
        if (configDir) {
            setenv("XDG_CONFIG_HOME", configDir, 1);
        }
        execvp(argv[optind], argv + optind);
        fprintf(stderr, "mapwait: cannot run %s: %s\n", argv[optind], strerror(errno));
        _exit(127);
    }
    setpgid(child, child);

    /* The X connection is the only thing we wait on; a timer ends the wait if nothing comes. */
    double mappedAt = -1;
    pid_t owner = 0;
    while (mappedAt < 0) {
        const double remaining = (double)timeoutMs - (nowMs() - start);
        if (remaining <= 0 || waitpid(child, NULL, WNOHANG) == child) {
            break;
        }
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (!event) {
            if (xcb_connection_has_error(connection)) {
                break;
            }
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(xfd, &readable);
            /* Wake at least every 100 ms to notice a program that quit without a window. */
            const double waitMs = remaining < 100 ? remaining : 100;
            struct timeval timeout = {0, (long)(waitMs * 1000)};
            select(xfd + 1, &readable, NULL, NULL, &timeout);
            continue;
        }
        const double receivedAt = nowMs();
        bool check = false;
        switch (event->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
            xcb_create_notify_event_t *created = (xcb_create_notify_event_t *)event;
            if (created->parent == root && !created->override_redirect) {
                listenTo(created->window);
                addCandidate(created->window);
                /* It may have been mapped before our selection took effect. */
                check = true;
            }
            break;
        }
        case XCB_REPARENT_NOTIFY: {
            xcb_reparent_notify_event_t *moved = (xcb_reparent_notify_event_t *)event;
            for (int i = 0; i < candidateCount; ++i) {
                if (candidates[i] == moved->window) {
                    listenToAncestors(moved->window);
                    check = true;
                    break;
                }
            }
            break;
        }
        case XCB_MAP_NOTIFY:
            check = true;
            break;
        case XCB_DESTROY_NOTIFY:
            removeCandidate(((xcb_destroy_notify_event_t *)event)->window);
            break;
        default:
            break;
        }
        free(event);
        if (check && findMappedCandidate(&owner) != XCB_WINDOW_NONE) {
            mappedAt = receivedAt;
        }
    }

    if (mappedAt < 0) {
        fputs("mapwait: no window appeared\n", stderr);
        if (waitpid(child, NULL, WNOHANG) != child) {
            endChild();
        }
        xcb_disconnect(connection);
        return 1;
    }

    struct timespec settle = {settleMs / 1000, (settleMs % 1000) * 1000000L};
    nanosleep(&settle, NULL);

    pid_t tree[maxProcesses];
    const int count = childTree(tree);
    long treeKib = 0;
    int counted = 0;
    for (int i = 0; i < count; ++i) {
        if (!isExcluded(tree[i])) {
            treeKib += rssKib(tree[i]);
            ++counted;
        }
    }
    const long ownerKib = owner > 0 ? rssKib(owner) : rssKib(child);
    printf("%.3f %ld %ld %d\n", mappedAt - start, ownerKib, treeKib, counted);
    fflush(stdout);

    endChild();
    xcb_disconnect(connection);
    return 0;
}
