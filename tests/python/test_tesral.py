"""The Python module against tesral-cli: the same rows, files and messages."""

import json
import os
import signal
import subprocess
import threading

import numpy as np
import pytest

import tesral

CLI = os.environ["TESRAL_CLI"]
MODELS = os.path.join(os.environ["TESRAL_SOURCE"], "doc", "models")
ALL_COLUMNS = "indices,theta,d,qeqi,xyz,hperp"

# (run() keywords, the same run as tesral-cli options): every system, both conventions, models.
CASES = [
    (dict(system="octagonal", limits=2, theta=(0, 60)),
     ["--system", "octagonal", "--limits", "2,2,2,2,2", "--thmin", "0", "--thmax", "60"]),
    (dict(system="decagonal", convention="steurer", group="P10/mmm", a=3.1, c="12.06"),
     ["--system", "decagonal", "--convention", "steurer", "--group", "P10/mmm", "--a", "3.1",
      "--c", "12.06"]),
    (dict(system="dodecagonal", group_index=2, limits=[2, 2, 2, 2, 1], anode="Cu"),
     ["--system", "dodecagonal", "--group-index", "2", "--limits", "2,2,2,2,1", "--anode", "Cu"]),
    (dict(system="icosahedral", group="P235", limits=3, a=5.1, qi_max=0.5),
     ["--system", "icosahedral", "--group", "P235", "--limits", "3,3,3,3,3,3", "--a", "5.1",
      "--qimax", "0.5"]),
    (dict(system="icosahedral", convention="steurer", limits=2, wavelength="1.5"),
     ["--system", "icosahedral", "--convention", "steurer", "--limits", "2,2,2,2,2,2",
      "--wavelength", "1.5"]),
    (dict(system="octagonal", model=os.path.join(MODELS, "octagonal-window.toml"),
          phason_strain=[[0.01, 0], [0, -0.02]]),
     ["--system", "octagonal", "--model", os.path.join(MODELS, "octagonal-window.toml"),
      "--phason-strain", "0.01,0,0,-0.02"]),
]
IDS = ["octagonal", "decagonal-steurer", "dodecagonal-cu", "icosahedral", "icosahedral-steurer",
       "octagonal-model-strain"]


def cli(command, options, tmp_path, extension=None):
    out = tmp_path / ("cli." + (extension or command))
    subprocess.run([CLI, command, *options, "--output", str(out)], check=True)
    return out.read_bytes()


@pytest.mark.parametrize("kwargs,options", CASES, ids=IDS)
def test_arrays_equal_the_list(kwargs, options, tmp_path):
    model = "model" in kwargs
    columns = ALL_COLUMNS + (",intensity" if model else "")
    text = cli("list", options + ["--columns", columns], tmp_path).decode()
    rows = np.array([line.split("\t")[1:-1] for line in text.splitlines()], dtype=float)
    r = tesral.run(**kwargs)
    n = r.indices.shape[1]
    assert len(r) == len(rows) > 0
    assert (r.indices == rows[:, :n]).all()
    got = np.column_stack([r.theta, r.d, r.qe, np.abs(r.qi), r.xyz, r.hperp] +
                          ([r.intensity] if model else []))
    # The list writes five decimals.
    assert np.abs(got - rows[:, n:]).max() <= 0.5e-5 + 1e-6 * np.abs(rows[:, n:]).max()
    assert (r.intensity is not None) == model
    # Views into the engine's rows, not copies.
    assert r.xyz.base is r and r.xyz.strides[0] == r.theta.strides[0] == r.main.strides[0]
    assert not r.theta.flags.writeable


@pytest.mark.parametrize("kwargs,options", CASES[3:], ids=IDS[3:])
@pytest.mark.parametrize("columns", [None, "none", ["theta", "hperp", "intensity"]])
def test_writers_are_byte_identical(kwargs, options, columns, tmp_path):
    r = tesral.run(**kwargs)
    flag = [] if columns is None else ["--columns", columns if isinstance(columns, str)
                                       else ",".join(columns)]
    for command, write in (("report", r.write_report), ("list", r.write_list)):
        path = tmp_path / ("py." + command)
        write(str(path), columns=columns)
        assert path.read_bytes() == cli(command, options + flag, tmp_path)
    head = cli("report", options, tmp_path).decode().split("\r\n")[:len(r.header)]
    assert r.header == head
    with pytest.raises(OSError, match="cannot write '/nonexistent/x.hkl': No such file"):
        r.write_report("/nonexistent/x.hkl")


@pytest.mark.parametrize("kwargs,options", [
    (dict(system="foo"), ["--system", "foo"]),
    (dict(group="X"), ["--group", "X"]),
    (dict(anode="Zz"), ["--anode", "Zz"]),
    (dict(convention="x"), ["--convention", "x"]),
    (dict(a=-1), ["--a", "-1"]),
    (dict(max_rows=10), ["--max-rows", "10"]),
    (dict(system="icosahedral", approximant="2/3"),
     ["--system", "icosahedral", "--approximant", "2/3"]),
    (dict(system="octagonal", model=os.path.join(MODELS, "icosahedral-window.toml")),
     ["--system", "octagonal", "--model", os.path.join(MODELS, "icosahedral-window.toml")]),
])
def test_errors_raise_the_command_lines_message(kwargs, options):
    done = subprocess.run([CLI, "list", *options], capture_output=True, text=True)
    message = done.stderr.strip().removeprefix("tesral-cli list: ")
    assert done.returncode != 0 and message
    with pytest.raises(ValueError) as error:
        tesral.run(**kwargs)
    assert str(error.value) == message


def test_approximant_rows_carry_the_cells_hkl(tmp_path):
    r = tesral.run(system="icosahedral", a=4.46891, approximant="1/1", limits=2)
    path = tmp_path / "list.txt"
    r.write_list(str(path), columns=["indices", "hkl"])
    done = subprocess.run([CLI, "list", "--system", "icosahedral", "--a", "4.46891",
                           "--approximant", "1/1", "--limits", "2,2,2,2,2,2",
                           "--columns", "indices,hkl"], capture_output=True)
    assert path.read_bytes() == done.stdout
    a_c = 12.3019  # the 1/1 cell of a6D = 6.32 A, as the head line names it
    assert "cubic a = 12.3019" in "".join(r.header)
    assert np.abs(a_c**2 / r.d.astype(float)**2 - (r.hkl**2).sum(axis=1)).max() < 0.01
    assert tesral.run().hkl is None


LARGE = dict(system="octagonal", limits=10, theta=(0, 180), qi_max=1e9)


def test_a_progress_callback_interrupts_a_large_run():
    seen = []

    def progress(fraction):
        seen.append(fraction)
        if fraction > 0.01:
            raise KeyboardInterrupt

    with pytest.raises(KeyboardInterrupt):
        tesral.run(progress=progress, **LARGE)
    assert seen == sorted(seen) and seen[-1] < 0.5


def test_ctrl_c_interrupts_a_large_run():
    seen = []

    def progress(fraction):
        seen.append(fraction)
        # The signal comes from another thread while the run works.
        if len(seen) == 1:
            threading.Thread(target=os.kill, args=(os.getpid(), signal.SIGINT)).start()

    with pytest.raises(KeyboardInterrupt):
        tesral.run(progress=progress, **LARGE)
    assert seen[-1] < 0.5


def test_models_load_edit_save_and_run(tmp_path):
    model = tesral.Model.load(os.path.join(MODELS, "icosahedral-sphere.toml"))
    path = tmp_path / "copy.toml"
    model.save(str(path))
    assert str(tesral.Model.load(str(path))) == str(model)
    options = dict(system="icosahedral", limits=2)
    before = tesral.run(model=model, **options).intensity.copy()
    model.sites[0].radius *= 0.5  # edits the model itself
    assert not np.array_equal(tesral.run(model=model, **options).intensity, before)
    site = tesral.one_site(domain="sphere", radius=3, element="Pd", system="icosahedral")
    assert (site.sites[0].element, site.sites[0].radius, site.radiation) == ("Pd", 3, "xray")
    with pytest.raises(ValueError, match="domain"):
        tesral.one_site(domain="cube")
    groups = tesral.groups()
    assert len(groups) == 85 and groups[-1]["system"] == "icosahedral"


def test_powder_lines_and_zone_coordinates_equal_the_command_line(tmp_path):
    options = ["--system", "icosahedral", "--a", "4.46", "--two-theta", "20:60:0.02"]
    text = cli("powder", options, tmp_path, "csv").decode().splitlines()[1:]
    lines = np.array([row.split(",")[:5] for row in text], dtype=float)
    p = tesral.powder(system="icosahedral", a=4.46, two_theta=(20, 60, 0.02))
    got = np.column_stack([p.two_theta, p.d, p.hperp, p.multiplicity, p.intensity])
    assert got.shape == lines.shape and np.allclose(got, lines, atol=1e-4, rtol=0)
    assert len(p.grid) == len(p.profile) == 2001 and p.profile.max() == pytest.approx(100)

    text = cli("zone", ["--system", "decagonal", "--axis", "periodic", "--columns", "indices"],
               tmp_path).decode()
    rows = np.array([line.split("\t")[1:-1] for line in text.splitlines()], dtype=float)
    z = tesral.zone(system="decagonal", axis="periodic")
    assert (z.indices == rows[:, :5]).all()
    assert np.allclose(np.column_stack([z.u, z.v]), rows[:, 5:7], atol=0.6e-5)


def test_refine_and_structure_equal_the_command_line(tmp_path):
    source = os.environ["TESRAL_SOURCE"]
    model = os.path.join(MODELS, "icosahedral-sphere.toml")
    measured = os.path.join(source, "doc", "examples", "i-sphere-synthetic.xy")
    vary = ["scale", "zero", "a", "background", "w", "eta", "radius", "b_par"]
    json_path = tmp_path / "fit.json"
    subprocess.run([CLI, "refine", "--system", "icosahedral", "--a", "4.57", "--qimax", "1.5",
                    "--wavelength", "1.5406", "--model", model, "--measured", measured,
                    "--vary", ",".join(vary), "--output", str(tmp_path / "refined.toml"),
                    "--json", str(json_path)], check=True, capture_output=True)
    expected = json.loads(json_path.read_text())
    fit = tesral.refine(system="icosahedral", a=4.57, qi_max=1.5, wavelength=1.5406, model=model,
                        measured=measured, vary=vary)
    # FIT.json writes ten significant digits.
    assert {p[0]: p[2] for p in fit["parameters"]} == pytest.approx(
        {name: p["value"] for name, p in expected["parameters"].items()}, rel=1e-9)
    assert fit["merit"]["rwp"] == pytest.approx(expected["r_wp"], rel=1e-9)

    atoms = tesral.structure(system="icosahedral", model=model, radius=8)
    assert atoms["xyz"].encode() == cli("structure", ["--system", "icosahedral", "--model", model,
                                                      "--radius", "8"], tmp_path, "xyz")
    assert atoms["positions"].shape == (len(atoms["elements"]), 3)


def test_approximant_cell_equals_the_command_line(tmp_path):
    model = os.path.join(MODELS, "icosahedral-window.toml")
    options = ["--system", "icosahedral", "--a", "4.46891", "--model", model,
               "--approximant", "1/1", "--phason-shift", "0.3,-0.2,0.7"]
    cell = tesral.structure(system="icosahedral", a=4.46891, model=model, approximant="1/1",
                            phason_shift=[0.3, -0.2, 0.7])
    assert cell["cif"].encode() == cli("structure", options, tmp_path, "cif")
    assert cell["xyz"].encode() == cli("structure", options, tmp_path, "xyz")
    assert cell["positions"] == pytest.approx(cell["fractions"] @ cell["cell"], abs=1e-9)
    assert ((cell["fractions"] >= 0) & (cell["fractions"] < 1)).all()
    with pytest.raises(ValueError, match="radius is needed"):
        tesral.structure(system="icosahedral", model=model)
