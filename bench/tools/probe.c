// probe: starts a program on the current X display and measures it from the
// outside, without any help from the program itself:
//   - exec to the first mapping of its window (MapNotify) and to its first
//     paint (the first DAMAGE report on that window);
//   - CPU time used up to the mapping and up to the first paint (the on-CPU
//     time of the process's threads from schedstat, to the nanosecond);
//   - memory (/proc/PID/smaps_rollup) and X resources some time later;
//   - CPU and context switches over an idle period;
//   - optionally, click to program: a press and release on a point of the
//     window through an xdotool process fed on its standard input, and the
//     start time that the launched program writes to a file.
// Results go to standard output as "key value" lines; diagnostics to stderr.
#define _GNU_SOURCE
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/res.h>
#include <xcb/xcb.h>

extern char **environ;

typedef struct {
    const char *role;  // the window to time, by WM_WINDOW_ROLE; NULL: any
    long settle_ms;    // from the mapping to the memory reading
    long idle_ms;      // idle period measured after the memory reading
    long timeout_ms;   // for the mapping and for the first paint
    int click_x, click_y, click;
    const char *stamp;  // file the launched program writes its start time to
    char **argv;
} Options;

typedef struct {
    xcb_window_t window;
    xcb_damage_damage_t damage;
    int mapped;  // 1 once seen mapped; -1 when already mapped as it came to be watched
} Tracked;

static xcb_connection_t *conn;
static xcb_window_t root;
static uint8_t damage_event;
static xcb_atom_t atom_pid, atom_role;
static pid_t child;
static int64_t t0;
static Tracked tracked[512];
static int ntracked;
static uint32_t id_mask, child_base;  // the program's X client owns the ids child_base | n
static int toplevels_created;

static int64_t now_ns(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000000000 + ts.tv_nsec;
}

static void die(const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    fputs("probe: ", stderr);
    vfprintf(stderr, fmt, ap);
    fputc('\n', stderr);
    va_end(ap);
    if (child > 0) kill(child, SIGKILL);
    exit(1);
}

static xcb_atom_t intern(const char *name) {
    xcb_intern_atom_reply_t *r =
        xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, strlen(name), name), NULL);
    if (!r) die("cannot intern %s", name);
    xcb_atom_t a = r->atom;
    free(r);
    return a;
}

// ---- /proc readings --------------------------------------------------------

typedef struct {
    int64_t run_ns;   // on-CPU time of the live threads (schedstat), ns resolution
    int64_t tick_ns;  // utime + stime of the whole process (stat), clock-tick resolution
    long switches;    // voluntary + involuntary context switches of the live threads
    int threads;
} CpuSample;

static int read_file(const char *path, char *buf, size_t size) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    ssize_t n = read(fd, buf, size - 1);
    close(fd);
    if (n < 0) return -1;
    buf[n] = 0;
    return (int)n;
}

static long status_field(const char *text, const char *key) {
    const char *p = strstr(text, key);
    return p ? strtol(p + strlen(key), NULL, 10) : 0;
}

static CpuSample sample_cpu(pid_t pid) {
    CpuSample s = {0, 0, 0, 0};
    char path[320], buf[8192];
    snprintf(path, sizeof path, "/proc/%d/stat", pid);
    if (read_file(path, buf, sizeof buf) > 0) {
        // Fields after the command name, which may hold blanks: utime is the 14th.
        const char *p = strrchr(buf, ')');
        unsigned long utime = 0, stime = 0;
        if (p && sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime,
                        &stime) == 2)
            s.tick_ns = (int64_t)(utime + stime) * (1000000000 / sysconf(_SC_CLK_TCK));
    }
    snprintf(path, sizeof path, "/proc/%d/task", pid);
    DIR *dir = opendir(path);
    if (!dir) return s;
    struct dirent *d;
    while ((d = readdir(dir))) {
        if (d->d_name[0] < '0' || d->d_name[0] > '9') continue;
        s.threads++;
        snprintf(path, sizeof path, "/proc/%d/task/%s/schedstat", pid, d->d_name);
        if (read_file(path, buf, sizeof buf) > 0) s.run_ns += strtoll(buf, NULL, 10);
        snprintf(path, sizeof path, "/proc/%d/task/%s/status", pid, d->d_name);
        if (read_file(path, buf, sizeof buf) > 0)
            s.switches += status_field(buf, "\nvoluntary_ctxt_switches:") +
                          status_field(buf, "\nnonvoluntary_ctxt_switches:");
    }
    closedir(dir);
    return s;
}

// ---- X side ----------------------------------------------------------------

static void *property(xcb_window_t w, xcb_atom_t atom, xcb_atom_t type, int *len) {
    xcb_get_property_reply_t *r =
        xcb_get_property_reply(conn, xcb_get_property(conn, 0, w, atom, type, 0, 256), NULL);
    *len = 0;
    if (!r) return NULL;
    *len = xcb_get_property_value_length(r);
    void *copy = NULL;
    if (*len > 0) {
        copy = calloc(1, *len + 1);
        memcpy(copy, xcb_get_property_value(r), *len);
    }
    free(r);
    return copy;
}

static pid_t window_pid(xcb_window_t w) {
    int len;
    uint32_t *v = property(w, atom_pid, XCB_ATOM_CARDINAL, &len);
    pid_t pid = (v && len >= 4) ? (pid_t)*v : 0;
    free(v);
    return pid;
}

static char *window_role(xcb_window_t w) {
    int len;
    char *v = property(w, atom_role, XCB_ATOM_STRING, &len);
    return v ? v : strdup("");
}

static Tracked *find_tracked(xcb_window_t w) {
    for (int i = 0; i < ntracked; i++)
        if (tracked[i].window == w) return &tracked[i];
    return NULL;
}

// Every new top-level window is watched from its creation: its mapping and
// the drawing into it.
static Tracked *track(xcb_window_t w) {
    if (find_tracked(w) || ntracked == (int)(sizeof tracked / sizeof tracked[0])) return NULL;
    Tracked *t = &tracked[ntracked++];
    t->window = w;
    t->damage = xcb_generate_id(conn);
    xcb_damage_create(conn, t->damage, w, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(conn, w, XCB_CW_EVENT_MASK, &mask);
    // A mapping that happened before the selection took effect is still seen.
    xcb_get_window_attributes_reply_t *a =
        xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, w), NULL);
    t->mapped = a && a->map_state != XCB_MAP_STATE_UNMAPPED ? -1 : 0;
    free(a);
    return t;
}

// The client a resource-id value belongs to (its first member).
static uint32_t client_of(const xcb_res_client_id_value_t *value) {
    return ((const xcb_res_client_id_spec_t *)value)->client;
}

// True when window W was created by the program's own X connection.
static int created_by_child(xcb_window_t w) {
    if (!child_base) {
        xcb_res_client_id_spec_t by_pid = {0, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        xcb_res_query_client_ids_reply_t *ids =
            xcb_res_query_client_ids_reply(conn, xcb_res_query_client_ids(conn, 1, &by_pid), NULL);
        if (!ids) return 0;
        xcb_res_client_id_value_iterator_t it = xcb_res_query_client_ids_ids_iterator(ids);
        for (; it.rem; xcb_res_client_id_value_next(&it))
            if (xcb_res_client_id_value_value_length(it.data) >= 1 &&
                (pid_t)xcb_res_client_id_value_value(it.data)[0] == child)
                child_base = client_of(it.data) & ~id_mask;
        free(ids);
    }
    return child_base && (w & ~id_mask) == child_base;
}

typedef struct {
    xcb_window_t target;
    int64_t map_ns, paint_ns;
    CpuSample cpu_at_map, cpu_at_paint;
} StartResult;

static void handle_event(xcb_generic_event_t *ev, const Options *o, StartResult *res) {
    const int64_t t = now_ns();
    const uint8_t type = ev->response_type & 0x7f;
    xcb_window_t mapped = 0;
    if (type == XCB_CREATE_NOTIFY) {
        xcb_create_notify_event_t *e = (void *)ev;
        if (e->parent == root) {
            if (created_by_child(e->window)) {
                toplevels_created++;
                fprintf(stderr, "probe: window 0x%x created at %.1f ms\n", e->window,
                        (t - t0) / 1e6);
            }
            Tracked *tr = track(e->window);
            if (tr && tr->mapped == -1) mapped = e->window;
        }
    } else if (type == XCB_MAP_NOTIFY) {
        xcb_map_notify_event_t *e = (void *)ev;
        Tracked *tr = find_tracked(e->window);
        if (tr && tr->mapped != 1) mapped = e->window;
    } else if (damage_event && type == damage_event + XCB_DAMAGE_NOTIFY) {
        xcb_damage_notify_event_t *e = (void *)ev;
        xcb_damage_subtract(conn, e->damage, XCB_NONE, XCB_NONE);
        if (res->target && e->drawable == res->target && !res->paint_ns) {
            res->cpu_at_paint = sample_cpu(child);
            res->paint_ns = t;
        }
    }
    if (!mapped) return;
    Tracked *tr = find_tracked(mapped);
    tr->mapped = 1;
    if (window_pid(mapped) != child) return;
    char *role = window_role(mapped);
    const int wanted = !res->target && (!o->role || strcmp(role, o->role) == 0);
    if (wanted) {
        res->cpu_at_map = sample_cpu(child);
        res->target = mapped;
        res->map_ns = t;
    }
    fprintf(stderr, "probe: window 0x%x role '%s' mapped at %.1f ms%s\n", mapped, role,
            (t - t0) / 1e6, wanted ? " (timed)" : "");
    printf("mapped_role %s\n", role[0] ? role : "-");
    free(role);
}

// Handles X events until DEADLINE (ns) or until DONE says so.
static void pump(int64_t deadline, const Options *o, StartResult *res,
                 int (*done)(const StartResult *)) {
    const int fd = xcb_get_file_descriptor(conn);
    for (;;) {
        xcb_generic_event_t *ev;
        while ((ev = xcb_poll_for_event(conn))) {
            handle_event(ev, o, res);
            free(ev);
        }
        xcb_flush(conn);
        if (xcb_connection_has_error(conn)) die("lost the X connection");
        if (done && done(res)) return;
        int status;
        if (waitpid(child, &status, WNOHANG) == child) {
            child = 0;
            die("the program ended (status %d) before the measurement was complete", status);
        }
        const int64_t left = deadline - now_ns();
        if (left <= 0) return;
        struct pollfd p = {fd, POLLIN, 0};
        poll(&p, 1, left > 20000000 ? 20 : (int)(left / 1000000) + 1);
    }
}

static int mapped_done(const StartResult *r) {
    return r->map_ns != 0;
}
static int painted_done(const StartResult *r) {
    return r->paint_ns != 0;
}

static void x_resources(pid_t pid, long *windows, long *pixmaps, long *pixmap_bytes) {
    *windows = *pixmaps = *pixmap_bytes = -1;
    xcb_res_client_id_spec_t by_pid = {0, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    xcb_res_query_client_ids_reply_t *ids =
        xcb_res_query_client_ids_reply(conn, xcb_res_query_client_ids(conn, 1, &by_pid), NULL);
    if (!ids) return;
    *windows = *pixmaps = *pixmap_bytes = 0;
    xcb_res_client_id_value_iterator_t it = xcb_res_query_client_ids_ids_iterator(ids);
    for (; it.rem; xcb_res_client_id_value_next(&it)) {
        if (xcb_res_client_id_value_value_length(it.data) < 1) continue;
        if ((pid_t)xcb_res_client_id_value_value(it.data)[0] != pid) continue;
        const uint32_t xid = client_of(it.data);
        xcb_res_query_client_resources_reply_t *rr = xcb_res_query_client_resources_reply(
            conn, xcb_res_query_client_resources(conn, xid), NULL);
        if (rr) {
            xcb_res_type_iterator_t ti = xcb_res_query_client_resources_types_iterator(rr);
            for (; ti.rem; xcb_res_type_next(&ti)) {
                xcb_get_atom_name_reply_t *n = xcb_get_atom_name_reply(
                    conn, xcb_get_atom_name(conn, ti.data->resource_type), NULL);
                if (!n) continue;
                const int len = xcb_get_atom_name_name_length(n);
                const char *name = xcb_get_atom_name_name(n);
                if (len == 6 && memcmp(name, "WINDOW", 6) == 0) *windows += ti.data->count;
                if (len == 6 && memcmp(name, "PIXMAP", 6) == 0) *pixmaps += ti.data->count;
                free(n);
            }
            free(rr);
        }
        xcb_res_query_client_pixmap_bytes_reply_t *pb = xcb_res_query_client_pixmap_bytes_reply(
            conn, xcb_res_query_client_pixmap_bytes(conn, xid), NULL);
        if (pb) {
            *pixmap_bytes += pb->bytes;
            free(pb);
        }
    }
    free(ids);
}

static void memory(pid_t pid) {
    char path[64], buf[4096];
    snprintf(path, sizeof path, "/proc/%d/smaps_rollup", pid);
    if (read_file(path, buf, sizeof buf) <= 0) die("cannot read %s", path);
    const long rss = status_field(buf, "\nRss:"), pss = status_field(buf, "\nPss:");
    const long dirty = status_field(buf, "\nShared_Dirty:") + status_field(buf, "\nPrivate_Dirty:");
    printf("rss_kb %ld\npss_kb %ld\ndirty_kb %ld\n", rss, pss, dirty);
}

// ---- click to program -------------------------------------------------------

static void sleep_ms(long ms) {
    struct timespec ts = {ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) && errno == EINTR) {
    }
}

static void feed(int fd, const char *line) {
    const size_t n = strlen(line);
    if (write(fd, line, n) != (ssize_t)n) die("xdotool does not take commands");
}

static int64_t read_stamp(const char *path) {
    char buf[64];
    const int n = read_file(path, buf, sizeof buf);
    if (n <= 0 || buf[n - 1] != '\n') return 0;
    return strtoll(buf, NULL, 10);
}

static void click_to_program(const Options *o, xcb_window_t w) {
    int pipefd[2];
    if (pipe2(pipefd, O_CLOEXEC)) die("pipe: %s", strerror(errno));
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, pipefd[0], 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    char *argv[] = {"xdotool", "-", NULL};
    pid_t xdo;
    if (posix_spawnp(&xdo, "xdotool", &fa, NULL, argv, environ))
        die("cannot start xdotool: %s", strerror(errno));
    posix_spawn_file_actions_destroy(&fa);
    close(pipefd[0]);
    const int in = pipefd[1];
    unlink(o->stamp);

    char line[128];
    snprintf(line, sizeof line, "mousemove --window %u %d %d\n", w, o->click_x, o->click_y);
    feed(in, line);
    sleep_ms(400);
    // The press goes first; a push button acts on the release, which is the
    // moment timed, fed to an xdotool that is already running and connected.
    feed(in, "mousedown 1\n");
    sleep_ms(120);
    const int64_t t_click = now_ns();
    feed(in, "mouseup 1\n");
    int64_t stamp = 0;
    const int64_t deadline = t_click + 5000000000LL;
    while (!(stamp = read_stamp(o->stamp)) && now_ns() < deadline) {
        struct timespec ts = {0, 200000};
        nanosleep(&ts, NULL);
    }
    close(in);
    waitpid(xdo, NULL, 0);
    if (!stamp) die("the launched program left no start time in %s within 5 s", o->stamp);
    printf("click_ms %.3f\n", (stamp - t_click) / 1e6);
}

// ---- main -------------------------------------------------------------------

static void usage(void) {
    fputs(
        "usage: probe [--role ROLE] [--settle MS] [--idle MS] [--timeout MS]\n"
        "             [--click X,Y --stamp FILE] -- PROGRAM [ARGS...]\n",
        stderr);
    exit(2);
}

static Options parse(int argc, char **argv) {
    Options o = {NULL, 3000, 20000, 15000, 0, 0, 0, NULL, NULL};
    int i = 1;
    for (; i < argc; i++) {
        const char *a = argv[i];
        if (strcmp(a, "--") == 0) {
            i++;
            break;
        }
        if (i + 1 >= argc) usage();
        const char *v = argv[++i];
        if (strcmp(a, "--role") == 0)
            o.role = v;
        else if (strcmp(a, "--settle") == 0)
            o.settle_ms = atol(v);
        else if (strcmp(a, "--idle") == 0)
            o.idle_ms = atol(v);
        else if (strcmp(a, "--timeout") == 0)
            o.timeout_ms = atol(v);
        else if (strcmp(a, "--stamp") == 0)
            o.stamp = v;
        else if (strcmp(a, "--click") == 0) {
            if (sscanf(v, "%d,%d", &o.click_x, &o.click_y) != 2) usage();
            o.click = 1;
        } else
            usage();
    }
    if (i >= argc || (o.click && !o.stamp)) usage();
    o.argv = argv + i;
    return o;
}

int main(int argc, char **argv) {
    const Options o = parse(argc, argv);
    setvbuf(stdout, NULL, _IOLBF, 0);
    signal(SIGPIPE, SIG_IGN);

    int screen_num;
    conn = xcb_connect(NULL, &screen_num);
    if (xcb_connection_has_error(conn)) die("cannot open the X display");
    const xcb_setup_t *setup = xcb_get_setup(conn);
    xcb_screen_iterator_t si = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screen_num; i++) xcb_screen_next(&si);
    root = si.data->root;
    id_mask = setup->resource_id_mask;

    const xcb_query_extension_reply_t *dext = xcb_get_extension_data(conn, &xcb_damage_id);
    if (!dext || !dext->present) die("the X server has no DAMAGE extension");
    free(xcb_damage_query_version_reply(conn, xcb_damage_query_version(conn, 1, 1), NULL));
    damage_event = dext->first_event;
    const xcb_query_extension_reply_t *rext = xcb_get_extension_data(conn, &xcb_res_id);
    if (rext && rext->present)
        free(xcb_res_query_version_reply(conn, xcb_res_query_version(conn, 1, 2), NULL));
    atom_pid = intern("_NET_WM_PID");
    atom_role = intern("WM_WINDOW_ROLE");

    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(conn, root, XCB_CW_EVENT_MASK, &mask);
    // The selection is in force once the server has answered a later request.
    free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), NULL));

    StartResult res = {0, 0, 0, {0, 0, 0, 0}, {0, 0, 0, 0}};
    t0 = now_ns();
    if (posix_spawnp(&child, o.argv[0], NULL, NULL, o.argv, environ))
        die("cannot start %s: %s", o.argv[0], strerror(errno));
    printf("pid %d\n", child);

    pump(t0 + o.timeout_ms * 1000000LL, &o, &res, mapped_done);
    if (!res.map_ns)
        die("no window%s%s mapped within %ld ms", o.role ? " with role " : "", o.role ? o.role : "",
            o.timeout_ms);
    pump(res.map_ns + o.timeout_ms * 1000000LL, &o, &res, painted_done);
    if (!res.paint_ns) die("no paint within %ld ms of the mapping", o.timeout_ms);

    printf("map_ms %.3f\n", (res.map_ns - t0) / 1e6);
    printf("paint_ms %.3f\n", (res.paint_ns - t0) / 1e6);
    printf("cpu_map_ms %.3f\n", res.cpu_at_map.run_ns / 1e6);
    printf("cpu_map_tick_ms %.0f\n", res.cpu_at_map.tick_ns / 1e6);
    printf("cpu_paint_ms %.3f\n", res.cpu_at_paint.run_ns / 1e6);

    pump(res.map_ns + o.settle_ms * 1000000LL, &o, &res, NULL);
    memory(child);
    long windows, pixmaps, pixmap_bytes;
    x_resources(child, &windows, &pixmaps, &pixmap_bytes);
    printf("x_windows %ld\nx_pixmaps %ld\nx_pixmap_kb %ld\n", windows, pixmaps,
           pixmap_bytes / 1024);
    printf("x_toplevels_created %d\n", toplevels_created);

    if (o.idle_ms > 0) {
        const CpuSample a = sample_cpu(child);
        const int64_t ta = now_ns();
        pump(ta + o.idle_ms * 1000000LL, &o, &res, NULL);
        const CpuSample b = sample_cpu(child);
        const double secs = (now_ns() - ta) / 1e9;
        printf("idle_cpu_pct %.4f\n", (b.run_ns - a.run_ns) / 1e7 / secs);
        printf("idle_cpu_tick_pct %.3f\n", (b.tick_ns - a.tick_ns) / 1e7 / secs);
        printf("wakeups_per_s %.3f\n", (b.switches - a.switches) / secs);
        printf("threads %d\n", b.threads);
    }
    if (o.click) click_to_program(&o, res.target);

    kill(child, SIGTERM);
    for (int i = 0; i < 100; i++) {
        if (waitpid(child, NULL, WNOHANG) == child) {
            child = 0;
            break;
        }
        sleep_ms(20);
    }
    if (child) {
        kill(child, SIGKILL);
        waitpid(child, NULL, 0);
    }
    xcb_disconnect(conn);
    return 0;
}
