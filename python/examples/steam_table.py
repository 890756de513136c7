"""Prints a small steam table: saturation pressure, then the molar volume and
enthalpy of liquid and vapour along the saturation line, from pemar.steam."""

import numpy as np

import pemar


def main():
    t = np.arange(300.0, 620.0, 40.0)                 # K
    p = pemar.steam.saturation_pressure(t)            # kPa
    v_liquid = pemar.steam.volume(t, p, "liquid")     # m3/kmol
    v_vapour = pemar.steam.volume(t, p, "vapour")
    h_liquid = pemar.steam.enthalpy(t, p, "liquid")   # kJ/kmol
    h_vapour = pemar.steam.enthalpy(t, p, "vapour")
    print(f"{'T K':>7} {'p kPa':>10} {'v liq':>9} {'v vap':>10} "
          f"{'h liq':>10} {'h vap':>10} {'dh vap':>8}")
    for row in zip(t, p, v_liquid, v_vapour, h_liquid, h_vapour):
        ti, pi, vl, vv, hl, hv = row
        print(f"{ti:7.2f} {pi:10.3f} {vl:9.5f} {vv:10.4f} "
              f"{hl:10.1f} {hv:10.1f} {hv - hl:8.1f}")


if __name__ == "__main__":
    main()
