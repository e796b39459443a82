"""hattsheet-convert --fit against numpy's least squares.

An independent oracle: each model is set up here from its definition (the
source and target reduced to their centroids, the parameters in metres,
as the report and the fit file give them) and solved by
numpy.linalg.lstsq (an SVD of the design matrix, no normal equations, no
scaling), with standard deviations from sigma0^2 (A^T A)^-1 through the
same SVD. Compared with the program's report (residuals, RMS, sigmas),
its fit file (every parameter to 17 digits) and, for the second order,
the report's A0..B5 evaluated at every point:
  - parameters: 1e-9 of the parameter, or an effect of 0.1 mm at the set's
    spread (a parameter of degree d times spread^d);
  - residuals, RMS, A0..B5 at the points: 0.1 mm (the report's 1 mm
    digits must be the oracle's rounded within 0.1 mm of it);
  - sigmas: the report's three digits, the oracle's rounded.

usage: fit_oracle.py HATTSHEET_CONVERT   (exit 0: all agree; 1: not)
"""

import os
import subprocess
import sys
import tempfile

try:
    import numpy as np
except ImportError:
    print("fit_oracle: numpy is missing (Debian python3-numpy; scripts/install-deps test)")
    sys.exit(1)

MM01 = 1e-4          # metres
RELATIVE = 1e-9
NAMES = {"similarity": ["tx", "ty", "a", "b"],
         "affine": ["a0", "a1", "a2", "b0", "b1", "b2"],
         "poly2": ["a%d" % k for k in range(6)] + ["b%d" % k for k in range(6)]}
DEGREES = {"similarity": [0, 0, 1, 1], "affine": [0, 1, 1, 0, 1, 1],
           "poly2": [0, 1, 1, 2, 2, 2] * 2}


def design(model, u, v):
    """Rows for U (first n) and V (last n) of the model in plane_fit's order."""
    n = len(u)
    one, zero = np.ones(n), np.zeros(n)
    if model == "similarity":
        top = np.column_stack([one, zero, u, -v])
        bottom = np.column_stack([zero, one, v, u])
    elif model == "affine":
        top = np.column_stack([one, u, v, zero, zero, zero])
        bottom = np.column_stack([zero, zero, zero, one, u, v])
    else:
        terms = np.column_stack([one, u, v, u * u, u * v, v * v])
        top = np.hstack([terms, np.zeros_like(terms)])
        bottom = np.hstack([np.zeros_like(terms), terms])
    return np.vstack([top, bottom])


def solve(model, pts):
    x, y, X, Y = (np.array([p[k] for p in pts]) for k in range(1, 5))
    u, v = x - x.mean(), y - y.mean()
    a = design(model, u, v)
    obs = np.concatenate([X - X.mean(), Y - Y.mean()])
    params, _, rank, sv = np.linalg.lstsq(a, obs, rcond=None)
    assert rank == a.shape[1], "oracle: rank deficient set"
    fitted = a @ params
    res = obs - fitted
    n = len(pts)
    dx, dy = res[:n], res[n:]
    out = {"params": params, "dx": dx, "dy": dy, "rms": np.sqrt(np.sum(dx * dx + dy * dy) / n),
           "fittedX": fitted[:n] + X.mean(), "fittedY": fitted[n:] + Y.mean(),
           "spread": np.sqrt(np.mean(u * u + v * v)), "sigmas": None}
    redundancy = 2 * n - a.shape[1]
    if redundancy > 0:
        _, s, vt = np.linalg.svd(a, full_matrices=False)
        q = (vt.T / s ** 2) @ vt
        out["sigmas"] = np.sqrt(np.diag(q) * (res @ res) / redundancy)
    return out


def close_printed(printed, value):
    """The report's mm digits are the oracle's, rounded, within 0.1 mm of it."""
    return float(printed) in {float("%.3f" % (value + d)) for d in (-MM01, 0.0, MM01)}


def sigma_agrees(printed, value):
    """The report's three digits are the oracle's, rounded (1e-6 of slack)."""
    return printed != "-" and float(printed) in {float("%.2e" % (value * f)) for f in (1 - 1e-6, 1.0, 1 + 1e-6)}


def run_fit(program, model, pts, folder):
    listing = os.path.join(folder, "common.csv")
    fitfile = os.path.join(folder, "saved.fit")
    with open(listing, "w") as f:
        for p in pts:
            f.write("%s,%.4f,%.4f,%.4f,%.4f\n" % p)
    env = dict(os.environ, LANG="C", LC_ALL="C")
    done = subprocess.run([program, "--fit", model, listing, "--save-fit", fitfile],
                          capture_output=True, text=True, env=env)
    if done.returncode != 0:
        raise RuntimeError("exit %d: %s" % (done.returncode, done.stderr))
    saved = {}
    with open(fitfile) as f:
        for line in f:
            if "=" in line and not line.startswith("#"):
                name, value = (t.strip() for t in line.split("=", 1))
                saved[name] = value
    return done.stdout.splitlines(), saved


def report_values(lines):
    values = {}
    for line in lines:
        if " = " in line:
            name, value = line.split(" = ", 1)
            values[name] = value
    return values


def compare(model, pts, lines, saved, oracle):
    """The faults found, as text lines."""
    faults = []
    n = len(pts)
    for i, p in enumerate(pts):
        code, dx, dy, length = lines[i].split(" ")
        if code != p[0] or not (close_printed(dx, oracle["dx"][i]) and close_printed(dy, oracle["dy"][i])):
            faults.append("%s residual %s %s, oracle %.6f %.6f" % (p[0], dx, dy, oracle["dx"][i], oracle["dy"][i]))
        if not close_printed(length, np.hypot(oracle["dx"][i], oracle["dy"][i])):
            faults.append("%s residual length %s" % (p[0], length))
    if not lines[n].startswith("RMS = ") or not close_printed(lines[n][6:], oracle["rms"]):
        faults.append("%s, oracle RMS %.6f" % (lines[n], oracle["rms"]))
    shown = report_values(lines)
    for k, name in enumerate(NAMES[model]):
        ours, theirs = float(saved[name]), oracle["params"][k]
        effect = abs(ours - theirs) * oracle["spread"] ** DEGREES[model][k]
        if not (abs(ours - theirs) <= RELATIVE * abs(theirs) or effect <= MM01):
            faults.append("%s = %r, oracle %r" % (name, ours, theirs))
        sigma = shown[name].split(" ± ")[1]
        if oracle["sigmas"] is None:
            if sigma != "-":
                faults.append("%s: a sigma %s without redundancy" % (name, sigma))
        elif not sigma_agrees(sigma, oracle["sigmas"][k]):
            faults.append("%s sigma %s, oracle %.6e" % (name, sigma, oracle["sigmas"][k]))
    if model == "poly2":
        a = [float(shown["A%d" % k]) for k in range(6)]
        b = [float(shown["B%d" % k]) for k in range(6)]
        for i, p in enumerate(pts):
            x, y = p[1], p[2]
            terms = [1.0, x, y, x * x, y * y, x * y]
            e = sum(c * t for c, t in zip(a, terms))
            nn = sum(c * t for c, t in zip(b, terms))
            if abs(e - oracle["fittedX"][i]) > MM01 or abs(nn - oracle["fittedY"][i]) > MM01:
                faults.append("%s: A0..B5 give %.6f %.6f, oracle %.6f %.6f"
                              % (p[0], e, nn, oracle["fittedX"][i], oracle["fittedY"][i]))
    return faults


def textbook_sets():
    seven = [("P1", 1000.000, 2000.000, 480512.345, 4201003.210), ("P2", 5321.120, 1850.440, 484850.101, 4200950.876),
             ("P3", 4900.870, 7010.330, 484337.882, 4206090.414), ("P4", 820.450, 6540.990, 480251.950, 4205540.002),
             ("P5", 3050.600, 4410.250, 482517.318, 4203453.777), ("P6", 2210.000, 9020.100, 481587.640, 4208041.020),
             ("P7", 6800.300, 4300.700, 486378.905, 4203443.118)]
    # A local grid on the Greek Grid: four corners of a block and its middle.
    block = [("K1", 0.0, 0.0, 476250.114, 4203120.387), ("K2", 250.0, 0.0, 476499.630, 4203135.912),
             ("K3", 250.0, 180.0, 476488.401, 4203315.569), ("K4", 0.0, 180.0, 476238.925, 4203299.986),
             ("K5", 125.0, 90.0, 476369.273, 4203217.960)]
    # Exactly as many observations as an affine's parameters: no sigmas.
    return [("seven points", seven), ("a block's corners", block), ("three corners", block[:3])]


def random_sets(rng):
    sets = []
    for name, source_origin, count in [("Hatt-sized, 12 points", (0.0, 0.0), 12),
                                       ("Hatt-sized, 30 points", (-15000.0, 8000.0), 30),
                                       ("ΕΓΣΑ87 to ΕΓΣΑ87-sized", (412345.0, 4398765.0), 15)]:
        x = source_origin[0] + rng.uniform(-20000, 20000, count)
        y = source_origin[1] + rng.uniform(-20000, 20000, count)
        theta, m = rng.uniform(-0.05, 0.05), 1 + rng.uniform(-3e-4, 3e-4)
        X = 450000 + m * (np.cos(theta) * x - np.sin(theta) * y) + 2e-9 * x * y + rng.normal(0, 0.05, count)
        Y = 4200000 + m * (np.sin(theta) * x + np.cos(theta) * y) - 1e-9 * x * x + rng.normal(0, 0.05, count)
        pts = [("R%d" % i, round(x[i], 4), round(y[i], 4), round(X[i], 4), round(Y[i], 4)) for i in range(count)]
        sets.append((name, pts))
    return sets


def main():
    program = sys.argv[1]
    rng = np.random.default_rng(20261208)
    checked, faults = 0, []
    with tempfile.TemporaryDirectory() as folder:
        for set_name, pts in textbook_sets() + random_sets(rng):
            for model in ("similarity", "affine", "poly2"):
                if len(pts) < len(NAMES[model]) // 2:
                    continue
                lines, saved = run_fit(program, model, pts, folder)
                for f in compare(model, pts, lines, saved, solve(model, pts)):
                    faults.append("%s, %s: %s" % (set_name, model, f))
                checked += 1
    for f in faults:
        print(f)
    print("fit_oracle: %d fits, %d faults" % (checked, len(faults)))
    return 1 if faults or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
