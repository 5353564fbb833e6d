;; Wzory kreskowania (jednostki metryczne).
;; Definicja: *NAZWA, opis, a pod nią wiersze rodzin linii:
;; kąt, początek-x, początek-y, przesunięcie wzdłuż linii, odstęp linii [, kreska, przerwa ...]
;; Kreska dodatnia jest rysowana, ujemna jest przerwą, zero oznacza kropkę.
;;
*ANGLE, Kątowniki stalowe
0, 0,0, 0,7, 5,-2
90, 0,0, 0,7, 5,-2
*ANSI31, Linie ukośne 45° co 3.175
45, 0,0, 0,3.175
*AR-CONC, Beton - rozproszone kruszywo
0, 0,0, 13.1,19.7, 3.2,-36.2
55, 4.6,7.3, 17.9,23.1, 2.6,-41.8
125, 9.8,2.7, 11.4,27.3, 2.9,-38.7
0, 6.2,11.9, 9.3,15.2, 0,-21.4
90, 2.3,15.1, 14.7,21.9, 0,-33.5
*AR-HBONE, Jodełka z cegieł 200x100
45, -70.710678,70.710678, 100,100, 300,-100
135, 0,0, -100,100, 300,-100
*SOLID, Wypełnienie pełne
0, 0,0, 0,0.1
