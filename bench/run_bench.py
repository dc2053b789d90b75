#!/usr/bin/env python3
"""Runs every benchmark of 青禾抽签 and prints one table.

Usage: run_bench.py BUILD_DIR [--runs N] [--quick] [--markdown FILE] [--skip-gib]

Every figure is measured side by side with a baseline in the same run, the
two interleaved, and reported as a ratio of medians: the machine is shared and
absolute times drift. The platform plugin is whatever QT_QPA_PLATFORM says
(bench.sh sets offscreen, or xcb under xvfb-run).
"""

import argparse
import json
import os
import platform
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

SOURCE_DIR = Path(__file__).resolve().parent.parent


def log(*args):
    print(*args, file=sys.stderr, flush=True)


def median(values):
    return statistics.median(values) if values else float("nan")


# ---------------------------------------------------------------- rosters ---

SURNAMES = "赵钱孙李周吴郑王冯陈褚卫蒋沈韩杨朱秦尤许何吕施张孔曹严华金魏陶姜欧阳司马上官诸葛"
GIVEN = "明轩思雨浩然子涵梓萱宇轩欣怡俊杰雨桐博文诗琪嘉怡一诺佳宁泽楷晨曦若汐睿哲可馨子墨雅静天佑"


def roster_lines(count, rng):
    """`count` distinct-looking records "name,sex"."""
    lines = []
    for i in range(count):
        name = rng.choice(SURNAMES) + "".join(rng.choice(GIVEN) for _ in range(rng.choice((1, 2, 2))))
        if count > 82 * 10:
            name += str(i % 1000)  # long files: names need not be unique, only plausible
        lines.append(f"{name},{'男' if rng.random() < 0.5 else '女'}")
    return lines


def write_roster(path, lines, encoding):
    """GBK files get CR LF (Notepad's ANSI), UTF-8 files LF."""
    eol = "\r\n" if encoding == "gbk" else "\n"
    path.write_bytes((eol.join(lines) + eol).encode(encoding))


def write_big_roster(path, size_bytes, encoding, rng):
    """A roster of about `size_bytes`, written in repeated 1 MiB blocks.
    Returns the number of records."""
    eol = "\r\n" if encoding == "gbk" else "\n"
    lines = roster_lines(40000, rng)
    block = b""
    per_block = 0
    for line in lines:
        b = (line + eol).encode(encoding)
        if len(block) + len(b) > 1 << 20:
            break
        block += b
        per_block += 1
    blocks = max(1, size_bytes // len(block))
    with open(path, "wb") as f:
        for _ in range(blocks):
            f.write(block)
    return blocks * per_block


# ---------------------------------------------------------------- running ---

def run_timed(cmd, cwd=None, env=None):
    """Wall time of one process, from the start to its end."""
    t0 = time.perf_counter()
    r = subprocess.run(cmd, cwd=cwd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    t1 = time.perf_counter()
    if r.returncode != 0:
        raise SystemExit(f"{cmd[0]} failed ({r.returncode}): {r.stderr.decode(errors='replace')}")
    return t1 - t0


def run_timed_cpu(cmd, env=None, cwd=None):
    """Wall time and CPU time (user + system) of one process. The CPU time
    barely moves when other users take the cores, so it backs up the wall
    time on a shared machine."""
    t0 = time.perf_counter()
    proc = subprocess.Popen(cmd, env=env, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    t1 = time.perf_counter()
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        raise SystemExit(f"{cmd[0]} failed ({proc.returncode})")
    return t1 - t0, usage.ru_utime + usage.ru_stime


def run_json(cmd, env=None):
    r = subprocess.run(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if r.returncode != 0:
        raise SystemExit(f"{cmd[0]} failed ({r.returncode}): {r.stderr.decode(errors='replace')}")
    return [json.loads(line) for line in r.stdout.decode().splitlines() if line.startswith("{")]


def peak_rss_kib(cmd, cwd=None, env=None):
    """Maximum resident set size, as /usr/bin/time -v reports it."""
    r = subprocess.run(["/usr/bin/time", "-v"] + cmd, cwd=cwd, env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    err = r.stderr.decode(errors="replace")
    if r.returncode != 0:
        raise SystemExit(f"{cmd[0]} failed ({r.returncode}): {err}")
    m = re.search(r"Maximum resident set size \(kbytes\): (\d+)", err)
    if not m:
        raise SystemExit("no peak RSS in /usr/bin/time -v output")
    return int(m.group(1))


def interleaved(n, a, b):
    """n runs of a and of b, alternating which goes first."""
    ra, rb = [], []
    for i in range(n):
        if i % 2 == 0:
            ra.append(a())
            rb.append(b())
        else:
            rb.append(b())
            ra.append(a())
    return ra, rb


# ------------------------------------------------------------------ table ---

class Table:
    def __init__(self):
        self.rows = []

    def add(self, figure, ours, base, ratio, target, met):
        self.rows.append((figure, ours, base, ratio, target, "yes" if met else "NO"))
        # In the order of the figures, whatever order they were measured in.
        self.rows.sort(key=lambda r: int(r[0].split(".")[0]))

    def text(self):
        head = ("figure", "ours", "baseline", "ratio", "target", "met?")
        rows = [head] + self.rows
        widths = [max(display_width(r[i]) for r in rows) for i in range(6)]
        out = []
        for k, r in enumerate(rows):
            out.append("  ".join(pad(r[i], widths[i]) for i in range(6)))
            if k == 0:
                out.append("  ".join("-" * w for w in widths))
        return "\n".join(out)

    def markdown(self):
        out = ["| figure | ours | baseline | ratio | target | met? |", "|---|---|---|---|---|---|"]
        for r in self.rows:
            out.append("| " + " | ".join(r) + " |")
        return "\n".join(out)


def display_width(s):
    # CJK characters take two columns in a terminal.
    return sum(2 if ord(c) > 0x2E80 else 1 for c in s)


def pad(s, w):
    return s + " " * (w - display_width(s))


def ms(x):
    if x >= 0.1:
        return f"{x:.2f} ms"
    if x >= 0.001:
        return f"{x * 1000:.1f} µs"
    return f"{x * 1e6:.0f} ns"


def memory_map_summary(path):
    """Resident KiB of a /proc/PID/smaps copy, by kind of mapping."""
    kinds = {}
    name = None
    with open(path) as f:
        for line in f:
            m = re.match(r"^[0-9a-f]+-[0-9a-f]+ \S+ \S+ \S+ \S+\s*(.*)$", line)
            if m:
                name = m.group(1).strip()
                continue
            m = re.match(r"^Rss:\s+(\d+) kB", line)
            if not m:
                continue
            if not name or name.startswith("[heap]") or name.startswith("[anon") or name == "[stack]":
                kind = "heap and anonymous"
            elif re.search(r"\.(ttc|ttf|otf|pfb)$", name):
                kind = "font " + os.path.basename(name)
            elif "/libQt6" in name or "/qt6/plugins/" in name:
                kind = "Qt libraries and plugins"
            elif ".so" in name:
                kind = "other libraries"
            else:
                kind = "program and other"
            kinds[kind] = kinds.get(kind, 0) + int(m.group(1))
    return kinds


# ---------------------------------------------------------------- machine ---

def machine_info(build_info):
    info = {}
    try:
        lscpu = subprocess.run(["lscpu"], stdout=subprocess.PIPE, text=True).stdout
        for key in ("Model name", "CPU(s)", "Thread(s) per core", "Hypervisor vendor"):
            m = re.search(rf"^{re.escape(key)}:\s*(.+)$", lscpu, re.M)
            if m:
                info[key] = m.group(1).strip()
    except OSError:
        pass
    try:
        with open("/proc/meminfo") as f:
            kib = int(re.search(r"MemTotal:\s*(\d+)", f.read()).group(1))
            info["Memory"] = f"{kib / 1024 / 1024:.1f} GiB"
    except (OSError, AttributeError):
        pass
    try:
        with open("/etc/os-release") as f:
            m = re.search(r'^PRETTY_NAME="?([^"\n]+)', f.read(), re.M)
            if m:
                info["OS"] = f"{m.group(1)} (kernel {platform.release()})"
    except OSError:
        info["OS"] = platform.platform()
    try:
        info["Load average at the end"] = " ".join(f"{x:.2f}" for x in os.getloadavg()) + " (other users share the cores)"
    except OSError:
        pass
    info["Qt"] = build_info.get("qt", "?")
    info["Compiler"] = build_info.get("compiler", "?")
    info["Platform plugin"] = os.environ.get("QT_QPA_PLATFORM", "?") + (
        " (under xvfb-run)" if os.environ.get("QH_BENCH_XVFB") else "")
    return info


# ------------------------------------------------------------------- main ---

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build_dir")
    ap.add_argument("--runs", type=int, default=21, help="process runs per side for start-up (>= 15)")
    ap.add_argument("--quick", action="store_true", help="fewer runs, no 1 GiB file: a smoke test")
    ap.add_argument("--skip-gib", action="store_true", help="leave out the 1 GiB memory check")
    ap.add_argument("--markdown", help="also write the machine and the table as Markdown here")
    args = ap.parse_args()

    bench = Path(args.build_dir).resolve() / "bench"
    exe = {n: str(bench / n) for n in
           ("bench_startup_ours", "bench_startup_bare", "bench_ui", "bench_roster", "bench_shuffle")}
    for path in exe.values():
        if not os.access(path, os.X_OK):
            raise SystemExit(f"missing {path}: build first")
    if not os.path.exists("/usr/bin/time"):
        raise SystemExit("/usr/bin/time is missing (apt-get install time)")

    runs = 5 if args.quick else max(15, args.runs)
    big_runs = 3 if args.quick else 11
    rng = random.Random(20200101)
    table = Table()
    notes = []
    work = Path(tempfile.mkdtemp(prefix="qh-bench-"))
    env = dict(os.environ)
    if "XDG_RUNTIME_DIR" not in env:
        # Qt wants one; a private folder that goes with the rest.
        xdg = work / "xdg"
        xdg.mkdir(mode=0o700)
        env["XDG_RUNTIME_DIR"] = str(xdg)
    try:
        # ---- 5 (first: it also reports the versions) ----
        log("5. shuffles ...")
        out = run_json([exe["bench_shuffle"], "11" if args.quick else "41"], env)
        build_info = out[0]
        for row in out[1:]:
            us = row["ours_us"] / 1000.0
            table.add(f"5. {row['figure']} (82, real clock)", ms(us), ms(row["base_us"] / 1000.0) + " std::shuffle",
                      f"{row['ours_us'] / row['base_us']:.0f}×", "< 16 ms (in a click)", us < 16.0)
            notes.append(f"{row['figure']}: {row['fixed_clock_us']:.2f} µs per shuffle on a fixed clock, so reading "
                         f"the time of day 81 times costs {row['ours_us'] - row['fixed_clock_us']:.1f} µs of the "
                         f"{row['ours_us']:.1f} µs")

        # ---- 1. start-up ----
        # The start window lists its working folder: give it one with the sample rosters.
        startdir = work / "class"
        startdir.mkdir()
        for f in (SOURCE_DIR / "examples").glob("*.txt"):
            shutil.copy(f, startdir)
        log(f"1. start-up: {runs} runs each, interleaved ...")
        for _ in range(2):  # warm the page cache and the font cache
            run_timed([exe["bench_startup_ours"]], startdir, env)
            run_timed([exe["bench_startup_bare"]], startdir, env)
        cpu = {"ours": [], "bare": []}

        def startup(side):
            wall, used = run_timed_cpu([exe[f"bench_startup_{side}"]], env, startdir)
            cpu[side].append(used)
            return wall

        t_ours, t_bare = interleaved(runs, lambda: startup("ours"), lambda: startup("bare"))
        m_ours, m_bare = interleaved(runs, lambda: peak_rss_kib([exe["bench_startup_ours"]], startdir, env),
                                     lambda: peak_rss_kib([exe["bench_startup_bare"]], startdir, env))
        to, tb = median(t_ours), median(t_bare)
        table.add("1. start-up to first paint", ms(to * 1000), ms(tb * 1000) + " bare Qt", f"{to / tb:.2f}×",
                  "≤ 1.5×", to / tb <= 1.5)
        mo, mb = median(m_ours), median(m_bare)
        table.add("1. start-up peak RSS", f"{mo / 1024:.1f} MiB", f"{mb / 1024:.1f} MiB bare Qt", f"{mo / mb:.2f}×",
                  "≤ 1.3×", mo / mb <= 1.3)
        maps = {}
        for side in ("ours", "bare"):
            target = work / f"smaps-{side}.txt"
            run_timed([exe[f"bench_startup_{side}"]], startdir, dict(env, QH_BENCH_SMAPS=str(target)))
            if target.exists():
                maps[side] = memory_map_summary(target)
        if len(maps) == 2:
            for side in ("ours", "bare"):
                fonts = {k: v for k, v in maps[side].items() if k.startswith("font ")}
                maps[side]["font files"] = sum(fonts.values())
                notes.append(f"{side}: resident font files " + (", ".join(
                    f"{k[5:]} {v / 1024:.1f} MiB" for k, v in sorted(fonts.items())) or "none"))
                for k in fonts:
                    del maps[side][k]
            parts = []
            for kind in sorted(set(maps["ours"]) | set(maps["bare"]), key=lambda k: -maps["ours"].get(k, 0)):
                parts.append(f"{kind} {maps['ours'].get(kind, 0) / 1024:.1f} vs {maps['bare'].get(kind, 0) / 1024:.1f}")
            notes.append("start-up resident memory, ours vs bare (MiB, at the end of start-up): " + "; ".join(parts))
        notes.append(f"start-up by CPU time (user + system): ours {median(cpu['ours']) * 1000:.1f} ms, bare "
                     f"{median(cpu['bare']) * 1000:.1f} ms, {median(cpu['ours']) / median(cpu['bare']):.2f}×")
        notes.append(f"start-up: {runs} runs per side; wall min ours {min(t_ours) * 1000:.1f} ms, "
                     f"bare {min(t_bare) * 1000:.1f} ms; RSS range ours {min(m_ours)}–{max(m_ours)} KiB, "
                     f"bare {min(m_bare)}–{max(m_bare)} KiB")

        # ---- 2 and 3: in-process ----
        roster82 = work / "名单82.txt"
        write_roster(roster82, roster_lines(82, rng), "gbk")
        log("2./3. seat chart and events ...")
        rows = run_json([exe["bench_ui"], str(roster82), "--reps", "11" if args.quick else "41",
                         "--events", "40" if args.quick else "200"], env)
        labels = {
            "seat-open": "2. open seat chart (82) to paint",
            "card-click": "3. card click to paint",
            "random-arrange": "3. 随机排列 to paint",
            "group-choice": "3. group choice (Option2/1) to paint",
            "draw-press-Option1": "3. draw press, 可重复 (Option1)",
            "draw-press-Option2": "3. draw press, 不重复 (Option2)",
            "draw-press-Option3": "3. draw press, 男同学 (Option3)",
            "draw-press-Option4": "3. draw press, 女同学 (Option4)",
        }
        for row in rows:
            o, b = row["ours_ms"], row["base_ms"]
            if row["figure"] == "seat-open":
                table.add(labels[row["figure"]], ms(o), ms(b) + " 172 plain", f"{o / b:.2f}×", "≤ 2×", o / b <= 2.0)
                notes.append(f"seat chart open: first (cold) open ours {row['ours_first_ms']:.1f} ms, "
                             f"bare {row['base_first_ms']:.1f} ms; n = {row['n']}")
            else:
                table.add(labels.get(row["figure"], row["figure"]), ms(o), ms(b) + " plain click",
                          f"{o / b:.1f}×", "< 16 ms", row["ours_max_ms"] < 16.0 and o < 16.0)
                notes.append(f"{row['figure']}: n = {row['n']}, max ours {row['ours_max_ms']:.2f} ms")

        # ---- 4. the roster reader ----
        need = (100 + 100 + 10) * 2**20 + (0 if (args.quick or args.skip_gib) else 2**30)
        free = shutil.disk_usage(work).free
        log(f"4. roster reader: {free / 2**30:.1f} GiB free in {work}, {need / 2**30:.2f} GiB needed")
        if free < need + 2**30:
            raise SystemExit(f"not enough space in {work} for the generated rosters")
        # Any file, however large, in a few seconds: the time of a whole load.
        size = (10 if args.quick else 100) * 10**6
        for encoding, label in (("gbk", "GBK, CR LF"), ("utf-8", "UTF-8, LF")):
            path = work / f"big-{encoding}.txt"
            records = write_big_roster(path, size, encoding, rng)
            nbytes = path.stat().st_size
            run_json([exe["bench_roster"], str(path), str(records)], env)  # into the page cache
            t = median([run_timed([exe["bench_roster"], str(path), str(records)], env=env) for _ in range(big_runs)])
            table.add(f"4. roster reader, {nbytes / 1e6:.0f} MB {label}", f"{t:.2f} s", "-",
                      f"{nbytes / 1e6 / t:.0f} MB/s", "≤ 1 s", t <= 1.0)
            notes.append(f"reader {label}: {records} records, median process wall time of {big_runs} runs")
            path.unlink()

        small = work / "rss-10mb.txt"
        small_records = write_big_roster(small, 10 * 2**20, "utf-8", rng)
        rss_small = [peak_rss_kib([exe["bench_roster"], str(small), str(small_records)], env=env) for _ in range(3)]
        if args.quick or args.skip_gib:
            notes.append("1 GiB memory check left out (--quick/--skip-gib)")
        else:
            big = work / "rss-1gib.txt"
            log("4. 1 GiB roster for the memory check ...")
            big_records = write_big_roster(big, 2**30, "utf-8", rng)
            rss_big = [peak_rss_kib([exe["bench_roster"], str(big), str(big_records)], env=env) for _ in range(3)]
            t_big = median([run_timed([exe["bench_roster"], str(big), str(big_records)], env=env) for _ in range(3)])
            big.unlink()
            table.add("4. roster reader, 1 GiB UTF-8, LF", f"{t_big:.2f} s", "-", f"{2**30 / 1e6 / t_big:.0f} MB/s",
                      "≤ 10 s", t_big <= 10.0)
            rs, rb = median(rss_small), median(rss_big)
            table.add("4. reader peak RSS, 1 GiB vs 10 MiB", f"{rb / 1024:.1f} MiB", f"{rs / 1024:.1f} MiB (10 MiB file)",
                      f"{rb / rs:.2f}×", "flat (≤ 1.05×)", rb / rs <= 1.05)
        small.unlink()
    finally:
        shutil.rmtree(work, ignore_errors=True)

    info = machine_info(build_info)
    print()
    for k, v in info.items():
        print(f"{k}: {v}")
    print()
    print(table.text())
    print()
    for n in notes:
        print("- " + n)
    if args.markdown:
        with open(args.markdown, "w") as f:
            for k, v in info.items():
                f.write(f"- {k}: {v}\n")
            f.write("\n" + table.markdown() + "\n\n")
            for n in notes:
                f.write(f"- {n}\n")
    return 0 if all(r[5] == "yes" for r in table.rows) else 1


if __name__ == "__main__":
    sys.exit(main())
