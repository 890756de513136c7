"""pemar.steam: the reference points through the vectorised calls,
broadcasting, NaN where the library fails, and arguments it refuses."""

import csv

import numpy as np
import pytest

import pemar
from conftest import SOURCE_DIR

MOLAR_MASS = 18.02
ZERO_POINT = -287436.0


def reference_points():
    path = SOURCE_DIR / "pemar/numerics/testdata/ifc67_reference_points.csv"
    with open(path, newline="") as f:
        rows = [r for r in csv.reader(f) if r and r[0] == "point"]
    return np.array([[float(x) for x in r[1:6]] for r in rows])


class TestReferencePoints:
    """The IFC-67 reference points, all in one call per phase."""

    @pytest.mark.parametrize("phase,regions", [("liquid", (1, 4)),
                                               ("vapour", (2, 3))])
    def test_every_point_agrees(self, phase, regions):
        points = reference_points()
        rows = points[np.isin(points[:, 2], regions)]
        t, p = rows[:, 0], rows[:, 1]
        np.testing.assert_array_equal(pemar.steam.subregion(t, p, phase),
                                      rows[:, 2])
        np.testing.assert_allclose(pemar.steam.volume(t, p, phase),
                                   rows[:, 3] * MOLAR_MASS, rtol=1e-6)
        h = (pemar.steam.enthalpy(t, p, phase) - ZERO_POINT) / MOLAR_MASS
        np.testing.assert_allclose(h, rows[:, 4], atol=1e-3)

    def test_saturation_and_boiling_meet_at_the_normal_boiling_point(self):
        assert pemar.steam.saturation_pressure(373.15) == pytest.approx(
            101.325, rel=1e-5)
        assert pemar.steam.boiling_temperature(101.325) == pytest.approx(
            373.148, abs=2e-3)


class TestBroadcasting:
    """Numbers and arrays combine as numpy broadcasts them."""

    def test_numbers_give_a_zero_dimensional_array(self):
        h = pemar.steam.enthalpy(500.0, 1000.0)
        assert isinstance(h, np.ndarray) and h.shape == ()

    def test_a_column_of_temperatures_meets_a_row_of_pressures(self):
        t = np.array([[300.0], [500.0], [700.0]])
        p = np.array([100.0, 1000.0, 5000.0, 20000.0])
        grid = pemar.steam.enthalpy(t, p)
        assert grid.shape == (3, 4)
        for i in range(3):
            for j in range(4):
                assert grid[i, j] == pemar.steam.enthalpy(t[i, 0], p[j])

    def test_a_reversed_view_and_integers_read_their_values(self):
        p = np.arange(1000, 6000, 1000)
        np.testing.assert_array_equal(pemar.steam.volume(600, p[::-1]),
                                      pemar.steam.volume(600.0, p)[::-1])

    def test_shapes_that_do_not_broadcast_are_refused(self):
        with pytest.raises(ValueError):
            pemar.steam.volume([300.0, 400.0], [1.0, 2.0, 3.0])

    def test_empty_arrays_give_empty_results(self):
        assert pemar.steam.volume([], 100.0).shape == (0,)


class TestFailures:
    """NaN where the library gives its failure value; raw=True keeps it."""

    BAD = [(200.0, 100.0), (500.0, -1.0), (np.nan, 100.0), (500.0, np.inf),
           (500.0, -32767.0), (2000.0, 100.0)]

    def test_bad_states_give_nan_and_raw_gives_the_failure_values(self):
        t, p = np.array(self.BAD).T
        assert np.isnan(pemar.steam.volume(t, p)).all()
        assert np.isnan(pemar.steam.enthalpy(t, p)).all()
        assert (pemar.steam.volume(t, p, raw=True) == -32767.0).all()
        assert (pemar.steam.enthalpy(t, p, raw=True) == ZERO_POINT).all()
        assert (pemar.steam.subregion(t, p) == -1).all()

    def test_zero_pressure_has_an_enthalpy_but_no_volume(self):
        assert np.isnan(pemar.steam.volume(500.0, 0.0))
        assert np.isfinite(pemar.steam.enthalpy(500.0, 0.0))

    def test_undecided_phase_near_saturation(self):
        assert pemar.steam.subregion(373.15, 101.325) == -1
        assert np.isnan(pemar.steam.enthalpy(373.15, 101.325))
        assert pemar.steam.subregion(373.15, 101.325, "vapour") == 2

    def test_no_boiling_temperature_without_pressure(self):
        assert np.isnan(pemar.steam.boiling_temperature([0.0, -5.0])).all()
        assert pemar.steam.boiling_temperature(0.0, raw=True) == -32767.0


class TestBadArguments:
    """Wrong types and values raise clear exceptions, never crash."""

    @pytest.mark.parametrize("value", [None, "hot", [1 + 2j], {"T": 1},
                                       [object()]])
    def test_values_that_are_not_real_numbers(self, value):
        with pytest.raises(TypeError):
            pemar.steam.enthalpy(value, 100.0)

    @pytest.mark.parametrize("phase,error", [("steam", ValueError),
                                             (1, TypeError),
                                             (None, TypeError)])
    def test_unknown_phases(self, phase, error):
        with pytest.raises(error, match="phase"):
            pemar.steam.volume(300.0, 100.0, phase)

    def test_the_kernels_check_their_counts(self):
        one = np.array([300.0])
        with pytest.raises(ValueError, match="negative"):
            pemar._pemar._steam_volume(one, one, -1, 2, False)
        with pytest.raises(ValueError, match="holds 2 values for 3"):
            pemar._pemar._steam_volume(np.ones(2), one, 3, 2, False)
