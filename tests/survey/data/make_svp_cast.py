#!/usr/bin/env python3
"""Writes the sound velocity cast fixtures of tests/survey and the results expected from them.

Sound speed: the nine-term equation of J. Acoust. Soc. Am. 70 (1981); temperature profile
T(z) = 14 + 5.5 (1 - tanh((z - 30) / 10)) degrees C, salinity 38.5.
Run from this folder: python3 make_svp_cast.py
"""
import math
from decimal import Decimal, ROUND_HALF_UP

S = 38.5


def sound_speed(t, s, d):
    return (1448.96 + 4.591 * t - 5.304e-2 * t * t + 2.374e-4 * t ** 3 + 1.340 * (s - 35)
            + 1.630e-2 * d + 1.675e-7 * d * d - 1.025e-2 * t * (s - 35) - 7.139e-13 * t * d ** 3)


assert abs(sound_speed(25, 35, 1000) - 1550.744) < 0.0005, sound_speed(25, 35, 1000)


def temperature(z):
    return 14 + 5.5 * (1 - math.tanh((z - 30) / 10))


def c(z):
    return sound_speed(temperature(z), S, z)


def fixed(value, decimals):
    """Half away from zero at the last decimal, on the 15-significant-digit text."""
    text = '%.14e' % value
    q = Decimal(1).scaleb(-decimals)
    out = Decimal(text).quantize(q, rounding=ROUND_HALF_UP)
    if out == 0:
        out = abs(out)
    return format(out, 'f')


def write(name, lines, crlf=False):
    with open(name, 'w', newline='') as f:
        f.write(''.join(line + ('\r\n' if crlf else '\n') for line in lines))


def stamp(i):
    second = i // 4
    return '2026-06-01T%02d:%02d:%02d.%03d' % (8 + second // 3600, second // 60 % 60, second % 60,
                                               (i % 4) * 250)


# The default cast: 40 readings in air, a soak near 2 m, a down-cast to 200 m with heave.
samples = []
for i in range(40):
    samples.append((0.0, 343.0 + (i % 7) * 0.1))
for i in range(1000):
    samples.append((0.8 + 0.3 * math.sin(i * 0.7), None))
down = 10000 - len(samples)
for i in range(down):
    z = 200.0 * i / (down - 1) + 0.3 * math.sin(i * 0.7)
    samples.append((min(max(z, 0.0), 200.3), None))

raw = ['Profiler cast export', 'Instrument: sound velocity profiler', 'Columns: time SV,depth', '']
for i, (z, v) in enumerate(samples):
    if v is None:
        v = c(z)
    raw.append('%s %.3f,%.3f' % (stamp(i), v, z))
write('cast_default.txt', raw, crlf=True)

# The three building steps replayed, Max Depth 200, in-air lines skipped.
M = 200
extracted = []
for line in raw[4:]:
    v_text, z_text = line.split(' ')[1].split(',')
    v, z = float(v_text), float(z_text)
    if not (1350 <= v <= 1600):
        continue
    extracted.append(fixed(z, 0) + ',' + fixed(v, 3))

slots = [''] * (M + 1)
deepest = -1
for line in extracted:
    d_text, v_text = line.split(',')
    d, v = int(d_text), float(v_text)
    deepest = max(deepest, d)
    if d < 0 or d > M:
        continue
    if slots[d]:
        sd, mean, count = slots[d].split(',')
        mean, count = float(mean), int(count)
        slots[d] = '%d,%s,%d' % (d, fixed((count * mean + v) / (count + 1), 2), count + 1)
    else:
        slots[d] = line + ',1'
assert deepest >= M, deepest

column = []
running = 0.0
for k in range(M + 1):
    if slots[k]:
        d_text, v_text = slots[k].split(',')[:2]
        d, v = int(d_text), float(v_text)
    running = (d * running + v) / (d + 1)
    column.append(fixed(running, 2))
write('expected_column.txt', column)

# Travel-time depths: what a sounder set to 1500 m/s reads over the continuous profile.
rows = ['z,raw']
steps_per_metre = 200
integral = 0.0
h = 1.0 / steps_per_metre
for z in range(1, 196):
    a = z - 1
    for j in range(steps_per_metre):
        x0 = a + j * h
        integral += h / 6 * (1 / c(x0) + 4 / c(x0 + h / 2) + 1 / c(x0 + h))
    rows.append('%d,%.6f' % (z, 1500 * integral))
write('expected_depths.csv', rows)

# Small casts with other layouts.
header = ['Time,Pressure,Temp,SV']
for i in range(50):
    z = i * 0.5
    header.append('%s,%.2f,%.3f,%.3f' % (stamp(i), z, temperature(z), c(z)))
write('cast_header.csv', header, crlf=True)

tab = ['Depth (m)\tSound Velocity (m/s)']
for i in range(50):
    tab.append('%.2f\t%.3f' % (i * 0.5, c(i * 0.5)))
write('cast_tab.txt', tab)

comma = ['Time;Depth;SV']
for i in range(30):
    comma.append(('%s;%.2f;%.2f' % (stamp(i), i * 0.5, c(i * 0.5))).replace('.', ','))
write('cast_decimal_comma.csv', comma, crlf=True)

missing = ['Time,Pressure,Temp,SV']
for i in range(40):
    z = i * 0.5
    t, v = '%.3f' % temperature(z), '%.3f' % c(z)
    if i % 10 == 3:
        t = ''          # a blank field
    if i % 10 == 5:
        v = 'NaN'
    if i % 10 == 7:
        v = '-9999'
    missing.append('%s,%.2f,%s,%s' % (stamp(i), z, t, v))
write('cast_missing.csv', missing, crlf=True)
