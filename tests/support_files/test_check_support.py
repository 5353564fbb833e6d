#!/usr/bin/env python3
"""Tests of the support-file check: the shipped files pass, and each kind of
damage a hand edit can do to them is caught.

Each case copies support/ into a temporary folder, spoils one file in one
way and expects the check to name that file.

Usage: test_check_support.py   (standard library unittest; exit 0 on success)
"""

import os
import shutil
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_support  # noqa: E402

SUPPORT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support")


class SpoiledCopy:
    """A temporary copy of the support folder for one case."""

    def __enter__(self):
        self.tmp = tempfile.mkdtemp()
        self.folder = os.path.join(self.tmp, "support")
        shutil.copytree(SUPPORT, self.folder)
        return self

    def __exit__(self, *exc):
        shutil.rmtree(self.tmp)

    def path(self, name):
        return os.path.join(self.folder, name)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def replace(self, name, old, new):
        data = self.read(name)
        assert old.encode() in data, f"{old!r} not in {name}"
        self.write(name, data.replace(old.encode(), new.encode(), 1))

    def problems(self):
        report = check_support.Report()
        check_support.check_support_folder(self.folder, report)
        return report.errors


class ShippedFiles(unittest.TestCase):
    def test_shipped_support_files_pass(self):
        report = check_support.Report()
        check_support.check_support_folder(SUPPORT, report)
        self.assertEqual(report.errors, [])


class DamageCase(unittest.TestCase):
    def assertCaught(self, case, name):
        found = [p for p in case.problems() if p.startswith(name + ":")]
        self.assertTrue(found, f"no problem reported in {name}")


class CatalogueDamage(DamageCase):
    def test_byte_order_mark_hides_first_group(self):
        with SpoiledCopy() as case:
            case.write("LAYERC.DEF", b"\xef\xbb\xbf" + case.read("LAYERC.DEF"))
            self.assertCaught(case, "LAYERC.DEF")

    def test_empty_spare_field_loses_linetype_and_weight(self):
        with SpoiledCopy() as case:
            case.replace("LAYERC.DEF", "2DFUNL,2DFUNL,1,Linie podziału funkcjonalnego,",
                         "2DFUNL,2DFUNL,1,,")
            self.assertCaught(case, "LAYERC.DEF")

    def test_key_repeated_in_other_case(self):
        with SpoiledCopy() as case:
            data = case.read("LAYERC.DEF") + b"2dwalls,2dwalls,7,x,Continuous,-3\n"
            case.write("LAYERC.DEF", data)
            self.assertCaught(case, "LAYERC.DEF")

    def test_colour_outside_host_range(self):
        with SpoiledCopy() as case:
            case.replace("LAYERC.DEF", "2DWALLS,2DWALLS,7,", "2DWALLS,2DWALLS,256,")
            self.assertCaught(case, "LAYERC.DEF")

    def test_linetype_missing_from_linetype_file(self):
        with SpoiledCopy() as case:
            case.replace("LAYERC.DEF", ",DASHED,", ",DASHED2,")
            self.assertCaught(case, "LAYERC.DEF")

    def test_line_weight_the_host_does_not_offer(self):
        with SpoiledCopy() as case:
            case.replace("LAYERC.DEF", "Continuous,50\n", "Continuous,45\n")
            self.assertCaught(case, "LAYERC.DEF")

    def test_dropped_element_key(self):
        with SpoiledCopy() as case:
            case.replace("LAYERC.DEF", "2DELEV_DIM,2DELEV_DIM,3,Rzędne wysokościowe,Continuous,18\n", "")
            self.assertCaught(case, "LAYERC.DEF")

    def test_group_line_without_closing_comma(self):
        with SpoiledCopy() as case:
            case.replace("LAYERC.DEF", "**Wymiary,", "**Wymiary")
            self.assertCaught(case, "LAYERC.DEF")

    def test_alternative_catalogue_disagrees(self):
        with SpoiledCopy() as case:
            case.replace("TCLAYERC.DEF", "2DDIM_P,2DDIM_P,3,", "2DDIM_P,2DDIM_P,5,")
            self.assertCaught(case, "TCLAYERC.DEF")


class ListAndConfigDamage(DamageCase):
    def test_view_list_names_unknown_layer(self):
        with SpoiledCopy() as case:
            case.replace("VXD.LST", "V3D\n", "V3D\n3DNOWHERE\n")
            self.assertCaught(case, "VXD.LST")

    def test_view_list_misses_a_3d_layer(self):
        with SpoiledCopy() as case:
            case.replace("VXD.LST", "3DSTAIRS_RL\nVELM3DSTAIRS_RL$*\n", "")
            self.assertCaught(case, "VXD.LST")

    def test_layer_in_both_view_lists(self):
        with SpoiledCopy() as case:
            case.replace("VXD.LST", "V3D\n", "V3D\n2DWALLS\n")
            self.assertCaught(case, "VXD.LST")

    def test_last_list_line_without_line_end(self):
        with SpoiledCopy() as case:
            case.write("VLSOLAI.LST", case.read("VLSOLAI.LST").rstrip(b"\n"))
            self.assertCaught(case, "VLSOLAI.LST")

    def test_blank_before_equals_does_not_match(self):
        with SpoiledCopy() as case:
            case.replace("VELMDCONFIG.CFG", "NUM_INF_VANI=78", "NUM_INF_VANI =78")
            self.assertCaught(case, "VELMDCONFIG.CFG")

    def test_empty_catalogue_folder_value(self):
        with SpoiledCopy() as case:
            case.write("VELMDCONFIG.CFG", case.read("VELMDCONFIG.CFG") + b"PATHCATALOG=\n")
            self.assertCaught(case, "VELMDCONFIG.CFG")


class PatternAndLinetypeDamage(DamageCase):
    def test_pattern_family_with_four_numbers(self):
        with SpoiledCopy() as case:
            case.replace("host/zwcadiso.pat", "45, 0,0, 0,3.175", "45, 0,0, 3.175")
            self.assertCaught(case, "host/zwcadiso.pat")

    def test_pattern_spacing_zero(self):
        with SpoiledCopy() as case:
            case.replace("VELTILE.pat", "0, 0,0, 0,25", "0, 0,0, 0,0")
            self.assertCaught(case, "VELTILE.pat")

    def test_pattern_file_named_after_another_pattern(self):
        with SpoiledCopy() as case:
            case.replace("VELSTONE.pat", "*VELSTONE,", "*VELROCK,")
            self.assertCaught(case, "VELSTONE.pat")

    def test_default_pattern_missing(self):
        with SpoiledCopy() as case:
            case.replace("host/zwcadiso.pat", "*ANGLE,", "*ANGLES,")
            self.assertCaught(case, "host/zwcadiso.pat")

    def test_continuous_defined_in_linetype_file(self):
        with SpoiledCopy() as case:
            case.write("host/zwcad.lin", case.read("host/zwcad.lin") + b"*CONTINUOUS,Ciagla\nA,1\n")
            self.assertCaught(case, "host/zwcad.lin")

    def test_host_pattern_file_in_module_folder(self):
        with SpoiledCopy() as case:
            shutil.copy(case.path("host/zwcadiso.pat"), case.folder)
            self.assertCaught(case, "zwcadiso.pat")

    def test_linetype_starting_with_gap(self):
        with SpoiledCopy() as case:
            case.replace("host/zwcad.lin", "A,10,-5", "A,-5,10")
            self.assertCaught(case, "host/zwcad.lin")


class WallTypeDamage(DamageCase):
    def test_blank_line_after_the_last_build_up(self):
        with SpoiledCopy() as case:
            case.write("CEGLA.mxt", case.read("CEGLA.mxt") + b"\n")
            self.assertCaught(case, "CEGLA.mxt")

    def test_pattern_no_file_defines(self):
        with SpoiledCopy() as case:
            case.replace("CEGLA.mxt", "-AR-HBONE", "-BRICKS")
            self.assertCaught(case, "CEGLA.mxt")

    def test_layer_outside_the_catalogue(self):
        with SpoiledCopy() as case:
            case.replace("ZELBET.mxt", "2DWALLS_CONCRETE", "2DBETON")
            self.assertCaught(case, "ZELBET.mxt")

    def test_hatch_scale_not_in_the_written_form(self):
        with SpoiledCopy() as case:
            case.replace("ZELBET.mxt", "0.500000", "0.5")
            self.assertCaught(case, "ZELBET.mxt")

    def test_missing_preview(self):
        with SpoiledCopy() as case:
            os.remove(case.path("velmObjBmp.dll/IDB_ZELBET.bmp"))
            self.assertCaught(case, "ZELBET.mxt")


class DefinitionDamage(DamageCase):
    def test_missing_slide_and_frame(self):
        with SpoiledCopy() as case:
            os.remove(case.path("velmObjBmp.dll/IDB__TAV1.bmp"))
            os.remove(case.path("velmObjBmp.dll/IDB_BORDOSEL.bmp"))
            self.assertCaught(case, "TAV1.txt")
            self.assertCaught(case, "velmObjBmp.dll")

    def test_parameter_set_missing_a_parameter(self):
        with SpoiledCopy() as case:
            case.replace("F1.txt", "Okno 120x150\n$8=120\n", "Okno 120x150\n")
            self.assertCaught(case, "F1.txt")

    def test_statement_on_a_layer_outside_the_catalogue(self):
        with SpoiledCopy() as case:
            case.replace("P1.txt", "LINE\n2DDOORS\n", "LINE\n2DDRZWI\n")
            self.assertCaught(case, "P1.txt")

    def test_two_parameters_with_one_order(self):
        with SpoiledCopy() as case:
            case.replace("OKNA_PAR.inc", "02D150", "01D150")
            self.assertCaught(case, "F1.txt")

    def test_include_of_itself(self):
        with SpoiledCopy() as case:
            case.replace("OKNA_PAR.inc", "$8=", '@"OKNA_PAR.inc"\n$8=')
            self.assertCaught(case, "OKNA_PAR.inc")


class RoomLabelDamage(DamageCase):
    def test_catalogue_set_without_its_end(self):
        with SpoiledCopy() as case:
            case.replace("UA_DEF.DLC", "[END]\r\n[TMS_ETI1]", "[TMS_ETI1]")
            self.assertCaught(case, "UA_DEF.DLC")

    def test_catalogue_with_lf_line_ends(self):
        with SpoiledCopy() as case:
            case.write("UA_DEF.DLC", case.read("UA_DEF.DLC").replace(b"\r\n", b"\n"))
            self.assertCaught(case, "UA_DEF.DLC")

    def test_template_without_end(self):
        with SpoiledCopy() as case:
            case.replace("tab/TMS_ETI1.UA", "end\r\n", "")
            self.assertCaught(case, "TMS_ETI1.UA")


if __name__ == "__main__":
    unittest.main()
