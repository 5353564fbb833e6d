;; Pokrycie dachówką: rzędy co 25, dachówki szerokości 20 przesunięte o pół szerokości.
*VELTILE, Dachówki
0, 0,0, 0,25
90, 0,0, 25,10, 25,-25
