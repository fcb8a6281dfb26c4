"""Shared signal tools for the game's sounds: loudness measurement (ITU-R BS.1770 K-weighted,
gated), filters, synthesis building blocks, seamless-loop helpers and Ogg Vorbis encoding.

Everything is deterministic: noise comes from seeded generators, and the encoder runs with
ffmpeg's bit-exact flags so regenerating gives the same files.
"""
import os
import subprocess
import tempfile
import warnings

import numpy as np
from scipy import signal
from scipy.io import wavfile

RATE = 44100


# ---------------------------------------------------------------- files

def read_wav(path):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", wavfile.WavFileWarning)  # FluidSynth's extra header chunk
        rate, data = wavfile.read(path)
    if rate != RATE:
        raise ValueError("%s: rate %d" % (path, rate))
    data = data.astype(np.float64)
    if data.ndim == 1:
        data = data[:, None]
    return data


def write_wav(path, data):
    data = np.asarray(data, dtype=np.float32)
    wavfile.write(path, RATE, data)


def encode_ogg(data, path, quality):
    """Writes float samples (n, channels) as Ogg Vorbis with the given VBR quality."""
    data = np.asarray(data, dtype=np.float64)
    if data.ndim == 1:
        data = data[:, None]
    peak = np.max(np.abs(data))
    if peak > 1.0:
        raise ValueError("%s would clip (peak %.3f)" % (path, peak))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        write_wav(wav, data)
        subprocess.run(
            ["ffmpeg", "-v", "error", "-y", "-i", wav, "-map_metadata", "-1", "-fflags", "+bitexact",
             "-flags:a", "+bitexact", "-c:a", "libvorbis", "-q:a", str(quality), path],
            check=True)


# ---------------------------------------------------------------- level

def _biquad_kweight():
    fs = RATE
    # Stage 1: the head's high-shelf.
    G, fc, Q = 3.999843853973347, 1681.974450955533, 0.7071752369554196
    A = 10 ** (G / 40.0)
    w0 = 2 * np.pi * fc / fs
    alpha = np.sin(w0) / (2 * Q)
    c = np.cos(w0)
    sa = 2 * np.sqrt(A) * alpha
    b1 = [A * ((A + 1) + (A - 1) * c + sa), -2 * A * ((A - 1) + (A + 1) * c),
          A * ((A + 1) + (A - 1) * c - sa)]
    a1 = [(A + 1) - (A - 1) * c + sa, 2 * ((A - 1) - (A + 1) * c), (A + 1) - (A - 1) * c - sa]
    # Stage 2: the low-frequency roll-off.
    fc, Q = 38.13547087602444, 0.5003270373238773
    w0 = 2 * np.pi * fc / fs
    alpha = np.sin(w0) / (2 * Q)
    c = np.cos(w0)
    b2 = [(1 + c) / 2, -(1 + c), (1 + c) / 2]
    a2 = [1 + alpha, -2 * c, 1 - alpha]
    return (np.array(b1) / a1[0], np.array(a1) / a1[0]), (np.array(b2) / a2[0], np.array(a2) / a2[0])


_KW = _biquad_kweight()


def _kweighted(data):
    data = np.asarray(data, dtype=np.float64)
    if data.ndim == 1:
        data = data[:, None]
    y = signal.lfilter(_KW[0][0], _KW[0][1], data, axis=0)
    return signal.lfilter(_KW[1][0], _KW[1][1], y, axis=0)


def loudness(data, loop=False):
    """Integrated loudness in LUFS. With loop=True the signal is measured as it plays on repeat
    (the filters and blocks wrap around), which is how loops are heard."""
    data = np.asarray(data, dtype=np.float64)
    if data.ndim == 1:
        data = data[:, None]
    n = len(data)
    if loop:
        ext = np.concatenate([data[-RATE:], data, data[: int(0.4 * RATE)]])
        y = _kweighted(ext)[RATE:]
        y = y[: n + int(0.4 * RATE)]
    else:
        y = _kweighted(data)
        if n < int(0.4 * RATE):
            y = np.concatenate([y, np.zeros((int(0.4 * RATE) - n, y.shape[1]))])
    block, hop = int(0.4 * RATE), int(0.1 * RATE)
    sq = np.sum(y ** 2, axis=1)
    cs = np.concatenate([[0.0], np.cumsum(sq)])
    starts = np.arange(0, (n if loop else len(y) - block + 1), hop)
    z = (cs[starts + block] - cs[starts]) / block
    if len(z) == 0:
        return -np.inf
    lk = -0.691 + 10 * np.log10(np.maximum(z, 1e-20))
    z = z[lk > -70]
    if len(z) == 0:
        return -np.inf
    rel = -0.691 + 10 * np.log10(np.mean(z)) - 10
    lk = -0.691 + 10 * np.log10(z)
    z = z[lk > rel]
    return -0.691 + 10 * np.log10(np.mean(z))


def momentary_max(data, window=0.4):
    """Loudest window (LUFS; 400 ms is the standard momentary loudness). Short effects are
    compared over 200 ms, close to how the ear sums a brief sound, where integrated loudness
    says little."""
    data = np.asarray(data, dtype=np.float64)
    if data.ndim == 1:
        data = data[:, None]
    block = int(window * RATE)
    y = _kweighted(np.concatenate([data, np.zeros((block, data.shape[1]))]))
    sq = np.sum(y ** 2, axis=1)
    cs = np.concatenate([[0.0], np.cumsum(sq)])
    ms = (cs[block:] - cs[:-block]) / block
    return -0.691 + 10 * np.log10(max(ms.max(), 1e-20))


def db(x):
    return 20 * np.log10(max(x, 1e-12))


def peak_db(data):
    return db(np.max(np.abs(data)))


def true_peak_db(data):
    """Peak after 4x oversampling, which is what a decoder and resampler can produce."""
    data = np.asarray(data, dtype=np.float64)
    if data.ndim == 1:
        data = data[:, None]
    up = signal.resample_poly(data, 4, 1, axis=0)
    return db(np.max(np.abs(up)))


# ---------------------------------------------------------------- building blocks

def rng(seed):
    return np.random.default_rng(seed)


def t_axis(seconds):
    return np.arange(int(round(seconds * RATE))) / RATE


def butter(x, kind, freq, order=2):
    nyq = RATE / 2.0
    if kind == "band":
        wn = [freq[0] / nyq, freq[1] / nyq]
    else:
        wn = freq / nyq
    sos = signal.butter(order, wn, btype=kind, output="sos")
    return signal.sosfilt(sos, x, axis=0)


def resonator(x, freq, q):
    """Two-pole band-pass (constant peak gain) ringing at freq."""
    w0 = 2 * np.pi * freq / RATE
    alpha = np.sin(w0) / (2 * q)
    b = np.array([alpha, 0.0, -alpha]) / (1 + alpha)
    a = np.array([1 + alpha, -2 * np.cos(w0), 1 - alpha]) / (1 + alpha)
    return signal.lfilter(b, a, x, axis=0)


def exp_env(n, decay_s, attack_s=0.0005):
    t = np.arange(n) / RATE
    env = np.exp(-t / max(decay_s, 1e-5))
    a = max(1, int(attack_s * RATE))
    env[:a] *= np.linspace(0.0, 1.0, a, endpoint=False) ** 1.0
    return env


def adsr(n, a, d, s, r):
    """Linear-segment envelope with attack, decay to sustain level s, release over the last r s."""
    env = np.full(n, s, dtype=np.float64)
    na, nd, nr = int(a * RATE), int(d * RATE), int(r * RATE)
    na = max(1, min(na, n))
    env[:na] = np.linspace(0, 1, na, endpoint=False)
    nd = max(0, min(nd, n - na))
    env[na:na + nd] = np.linspace(1, s, nd, endpoint=False)
    nr = max(1, min(nr, n))
    env[n - nr:] *= np.linspace(1, 0, nr) ** 2
    return env


def modal(freqs, amps, decays, seconds, phases=None, seed=0):
    """A struck object: a sum of exponentially decaying sinusoids (its vibration modes)."""
    t = t_axis(seconds)
    out = np.zeros_like(t)
    r = rng(seed)
    for i, (f, a, d) in enumerate(zip(freqs, amps, decays)):
        if f >= RATE / 2 * 0.95:
            continue
        ph = r.uniform(0, 2 * np.pi) if phases is None else phases[i]
        out += a * np.exp(-t / d) * np.sin(2 * np.pi * f * t + ph)
    # A soft 1 ms attack: a struck mode starting at full amplitude clicks; and a fade at the
    # end, so a mode still ringing when the buffer ends does not stop dead.
    k = int(0.001 * RATE)
    out[:k] *= np.linspace(0, 1, k)
    e = min(len(out) // 4, int(0.05 * RATE))
    out[len(out) - e:] *= 0.5 + 0.5 * np.cos(np.linspace(0, np.pi, e))
    return out


def bell(f0, seconds, brightness=1.0, decay=2.0, seed=0):
    """Church/clock bell partials (hum, prime, tierce, quint, nominal, ...) relative to the strike."""
    ratios = [0.5, 1.0, 1.183, 1.506, 2.0, 2.514, 2.662, 3.011, 4.166, 5.433, 6.796]
    amps = [0.55, 0.9, 0.65, 0.3, 0.8, 0.35, 0.25, 0.3, 0.18, 0.1, 0.06]
    amps = [a * (brightness ** i if i > 4 else 1.0) for i, a in enumerate(amps)]
    decays = [decay * 1.6, decay, decay * 0.8, decay * 0.5, decay * 0.6, decay * 0.35, decay * 0.3,
              decay * 0.25, decay * 0.15, decay * 0.1, decay * 0.08]
    return modal([f0 * r for r in ratios], amps, decays, seconds, seed=seed)


def chime(f0, seconds, decay=0.8, seed=0):
    """A small bright chime / glockenspiel bar: near-harmonic with a bright, fast-decaying top."""
    ratios = [1.0, 2.76, 5.40, 8.93]
    amps = [1.0, 0.35, 0.15, 0.06]
    decays = [decay, decay * 0.4, decay * 0.2, decay * 0.1]
    return modal([f0 * r for r in ratios], amps, decays, seconds, seed=seed)


def noise(n, seed, channels=None):
    r = rng(seed)
    shape = (n,) if channels is None else (n, channels)
    return r.standard_normal(shape)


def colored_noise_loop(n, seed, slope_db_per_oct=-3.0, lo=20.0, hi=18000.0, channels=2):
    """Periodic noise (length n loops without a seam) with a spectral slope, made in the
    frequency domain; channels are independent for a wide stereo image."""
    r = rng(seed)
    out = np.zeros((n, channels))
    f = np.fft.rfftfreq(n, 1.0 / RATE)
    fs = np.maximum(f, 1e-3)
    mag = (fs / 1000.0) ** (slope_db_per_oct / 6.02)
    # Gentle band edges (24 dB per octave) rather than a brick wall, which sounds synthetic.
    mag *= 1.0 / (1.0 + (lo / fs) ** 4)
    mag *= 1.0 / (1.0 + (fs / hi) ** 4)
    mag[0] = 0.0
    for c in range(channels):
        spec = mag * np.exp(1j * r.uniform(0, 2 * np.pi, len(f)))
        out[:, c] = np.fft.irfft(spec, n)
    out /= np.sqrt(np.mean(out ** 2))
    return out


def periodic_lfo(n, period_count, seed, depth=1.0, harmonics=3):
    """A slow random-looking modulation that repeats exactly over n samples: a few sine
    components whose periods divide the loop."""
    r = rng(seed)
    t = np.arange(n) / n
    out = np.zeros(n)
    for k in range(harmonics):
        cycles = period_count * (k + 1) + int(r.integers(0, 2))
        out += r.uniform(0.4, 1.0) / (k + 1) * np.sin(2 * np.pi * cycles * t + r.uniform(0, 2 * np.pi))
    out /= np.max(np.abs(out)) + 1e-12
    return depth * out


def filter_loop(x, fn):
    """Applies a filter with memory to a periodic signal so the result is periodic too: process
    two periods and keep the second, when the filter has forgotten the start."""
    n = len(x)
    y = fn(np.concatenate([x, x], axis=0))
    return y[n:]


def add_wrapped(buf, event, at):
    """Mixes event into the loop buffer at sample 'at', wrapping past the end to the start."""
    n = len(buf)
    at = at % n
    k = 0
    while k < len(event):
        take = min(len(event) - k, n - at)
        buf[at:at + take] += event[k:k + take]
        k += take
        at = 0


def room_ir(seconds, decay, seed, channels=2, predelay=0.008, brightness=6000.0, early=True):
    """A synthetic room response: early reflections then an exponentially decaying noise tail
    that darkens as it decays."""
    n = int(seconds * RATE)
    r = rng(seed)
    ir = np.zeros((n, channels))
    t = np.arange(n) / RATE
    for c in range(channels):
        tail = r.standard_normal(n) * np.exp(-6.9 * t / decay)
        lo = butter(tail, "low", brightness, 1)
        lo2 = butter(tail, "low", brightness / 4, 1)
        mix = np.clip(t / decay, 0, 1)
        tail = lo * (1 - mix) + lo2 * mix
        pd = int(predelay * RATE)
        ir[pd:, c] = tail[: n - pd]
        if early:
            for _ in range(6):
                d = int(r.uniform(0.003, 0.03) * RATE)
                ir[d, c] += r.uniform(-0.5, 0.5) * 6
    ir /= np.sqrt(np.sum(ir ** 2, axis=0, keepdims=True))
    return ir


def reverb(x, ir, wet=0.25):
    """Convolution reverb; x mono (n,) or stereo (n, 2); result has the IR's channel count and
    the IR's extra length."""
    if x.ndim == 1:
        x = x[:, None]
    chans = ir.shape[1]
    n = len(x) + len(ir) - 1
    out = np.zeros((n, chans))
    for c in range(chans):
        src = x[:, min(c, x.shape[1] - 1)]
        out[:, c] = signal.fftconvolve(src, ir[:, c])
    dry = np.zeros((n, chans))
    dry[: len(x)] = x if x.shape[1] == chans else np.repeat(x, chans, axis=1)
    return dry * (1 - wet) + out * wet


def reverb_loop(x, ir, wet=0.25):
    """Reverb for a loop: the tail that runs past the end is folded back onto the start."""
    y = reverb(x, ir, wet)
    n = len(x)
    out = y[:n].copy()
    k = n
    while k < len(y):
        take = min(n, len(y) - k)
        out[:take] += y[k:k + take]
        k += take
    return out


def fade_edges(x, fade_in=0.002, fade_out=0.02):
    """Raised-cosine fades so a one-shot starts and ends at zero without a click."""
    x = np.array(x, dtype=np.float64)
    n = len(x)
    a = min(n // 2, max(1, int(fade_in * RATE)))
    b = min(n // 2, max(1, int(fade_out * RATE)))
    win_in = 0.5 - 0.5 * np.cos(np.linspace(0, np.pi, a))
    win_out = 0.5 + 0.5 * np.cos(np.linspace(0, np.pi, b))
    if x.ndim == 1:
        x[:a] *= win_in
        x[n - b:] *= win_out
    else:
        x[:a] *= win_in[:, None]
        x[n - b:] *= win_out[:, None]
    return x


def trim_tail(x, floor_db=-66.0, keep=0.03):
    """Cuts the inaudible end of a one-shot (below floor relative to its peak), keeping a short
    margin for the fade."""
    mono = np.abs(x) if x.ndim == 1 else np.max(np.abs(x), axis=1)
    thr = np.max(mono) * 10 ** (floor_db / 20.0)
    idx = np.where(mono > thr)[0]
    end = min(len(x), (idx[-1] if len(idx) else 0) + int(keep * RATE))
    return x[:end]


def remove_dc(x):
    return x - np.mean(x, axis=0, keepdims=True)


def impulses(seconds, rate_hz, seed, jitter=0.15, amp_spread=0.4):
    """A train of clicks whose rate follows rate_hz (an array over time or a number): the
    stick-slip of a hinge, a ratchet, a drawer runner."""
    n = int(round(seconds * RATE))
    rate = np.broadcast_to(np.asarray(rate_hz, dtype=np.float64), (n,)) if np.ndim(rate_hz) == 0 else \
        np.interp(np.arange(n), np.linspace(0, n - 1, len(rate_hz)), rate_hz)
    r = rng(seed)
    phase = np.cumsum(rate / RATE)
    ticks = np.nonzero(np.diff(np.floor(phase)) > 0)[0] + 1
    out = np.zeros(n)
    for k in ticks:
        j = int(k + r.normal(0, jitter) * RATE / max(rate[k], 1.0))
        if 0 <= j < n:
            out[j] += 1.0 - amp_spread * r.random()
    return out


def resonate(x, modes):
    """Sum of resonators [(freq, q, gain)] driven by x: a body that colours what strikes it."""
    out = np.zeros_like(x)
    for f, q, g in modes:
        if f < RATE / 2 * 0.9:
            out += g * resonator(x, f, q)
    return out


def tv_filter(x, fc, q, kind="band", block=256):
    """A band-pass/low-pass whose centre follows the array fc (one value per sample), run in
    blocks with the filter state carried across: wind that whistles and gusts."""
    x = np.asarray(x, dtype=np.float64)
    y = np.zeros_like(x)
    zi = np.zeros(2)
    for s in range(0, len(x), block):
        f = float(np.clip(fc[min(s + block // 2, len(fc) - 1)], 20, RATE * 0.45))
        w0 = 2 * np.pi * f / RATE
        alpha = np.sin(w0) / (2 * q)
        cw = np.cos(w0)
        if kind == "band":
            b = np.array([alpha, 0.0, -alpha])
        else:
            b = np.array([(1 - cw) / 2, 1 - cw, (1 - cw) / 2])
        a = np.array([1 + alpha, -2 * cw, 1 - alpha])
        b, a = b / a[0], a / a[0]
        y[s:s + block], zi = signal.lfilter(b, a, x[s:s + block], zi=zi)
    return y
